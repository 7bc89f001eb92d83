// The test host: loads a format module as the editor does, owns the
// parameter block, offers the buffer and handle suites and the callbacks,
// keeps the module's word between calls, and calls ENTRYPOINT step by step.
#ifndef PNGHOST_PLUGIN_HOST_H
#define PNGHOST_PLUGIN_HOST_H

#include <cstdint>
#include <string>

#include "pnghost/host/HostSession.h"
#include "pnghost/host/HostSuites.h"

// A real number as the host's 16.16 fixed point, rounded to the nearest.
HostFixed ToFixed(double value);

// Loads the module, checks from its property list that it is a format module
// named "PNG", and finds its entry point. False with a reason on failure.
bool OpenHostSession(HostSession *session, const std::string &modulePath, std::string *error);
// Releases what the host still holds and unloads the module.
void CloseHostSession(HostSession *session);

// Puts the parameter block back to what the host shows a module before an
// operation: the suites and callbacks (valid unless the session's faults say
// otherwise), the host's monitor settings, no file.
void ResetHostBlock(HostSession *session);
void OfferBufferSuite(HostSession *session, SuiteOffer offer);
void OfferHandleSuite(HostSession *session, SuiteOffer offer);

// One call of ENTRYPOINT with the parameter block; returns the result code.
int16_t CallSelector(HostSession *session, int16_t selector);
// The about call, with the host window as the parent of the about box.
int16_t CallAbout(HostSession *session);

#endif
