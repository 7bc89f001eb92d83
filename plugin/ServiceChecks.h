// Checks that the host offers the services the module needs, telling the
// user by an alert which one is missing.
#ifndef KORVANE_SERVICE_CHECKS_H
#define KORVANE_SERVICE_CHECKS_H

#include <stdint.h>

#include "FormatHost.h"

// The alert string that describes what is wrong with a suite, or 0 when the
// suite is usable. The wrappers use the same rules silently.
int16_t BufferSuiteProblem(const HostBufferSuite *suite);
int16_t HandleSuiteProblem(const HostHandleSuite *suite);

bool VerifyBufferSuite(const HostBufferSuite *suite);
bool VerifyAdvanceState(HostAdvanceStateProc callback);
bool VerifyHandleSuite(const HostHandleSuite *suite);

// Buffer services, advance-state callback, handle services, in that order,
// stopping at the first failure: at most one alert per step.
bool VerifyHostServices(const HostFormatBlock *block);

#endif
