// The test host: loads a format module as the editor does, owns the
// parameter block, offers the buffer and handle suites and the callbacks,
// keeps the module's word between calls, and calls ENTRYPOINT step by step.
#ifndef PNGHOST_PLUGIN_HOST_H
#define PNGHOST_PLUGIN_HOST_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FormatHost.h"
#include "pnghost/host/HostImage.h"
#include "pnghost/host/ModuleLoader.h"
#include "pnghost/host/Pipl.h"

// How a suite is offered: as it should be, or in one of the ways a host too
// old, too new or broken would offer it.
enum class SuiteOffer { Valid, Missing, TooOld, TooNew, TooFewRoutines, NullRoutine };

// Ways the host can fall short, for tests and for the command line.
struct HostFaults {
    // Buffer allocations are refused with this code (0: they succeed).
    int16_t refuseBuffers = 0;
    // Advance-state answers advanceStateError on its call number
    // advanceStateErrorCall (counting from 0; -1: never).
    int32_t advanceStateErrorCall = -1;
    int16_t advanceStateError = 0;
    // The abort test answers "stop" from its call number abortFromCall on
    // (counting from 0; -1: never).
    int32_t abortFromCall = -1;
    // How every parameter block the host prepares offers its services, as an
    // older or broken host would.
    SuiteOffer bufferOffer = SuiteOffer::Valid;
    SuiteOffer handleOffer = SuiteOffer::Valid;
    bool withoutAdvanceState = false;
    // Once the viewer's zoom changes, it hands the system pictures it refuses
    // to draw, so that every paint of the image fails.
    bool refusePaints = false;
};

struct ProgressReport {
    int32_t done;
    int32_t total;
};

// Which way advance-state moves pixels: into the host's image on an open,
// out of it on a save.
enum class PixelFlow { None, ToImage, FromImage };

struct HostSession {
    LoadedModule module;
    std::string modulePath;
    std::vector<PiplProperty> pipl;
    FormatEntryProc entry = nullptr;

    HostFormatBlock block{};
    HostBufferSuite bufferSuite{};
    HostHandleSuite handleSuite{};
    intptr_t moduleData = 0;  // the word the host keeps for the module
    HostFaults faults;
    HostMonitor monitor{};  // the editor's monitor settings, given to every step
    uint32_t hostSignature = HOST_FOURCC('8', 'B', 'I', 'M');  // the editor's four-character code
    void *hostWindow = nullptr;
    HostImage image;
    bool imageTooLarge = false;  // the last open described an image the host could not hold
    PixelFlow flow = PixelFlow::None;
    // Progress printed for the person on stderr, under this label.
    std::string progressLabel;
    int progressShown = -1;  // the percentage on the person's screen, -1 none
    // A window's progress display, told of every report besides; none on
    // the command line.
    void (*progressWatcher)(int32_t done, int32_t total) = nullptr;

    // What the module did through the host's services during the session.
    std::map<HostBufferId, std::vector<uint8_t>> buffers;
    HostBufferId nextBufferId = 1;
    std::map<HostHandle, int32_t> handles;  // live host handles and their sizes
    std::vector<ProgressReport> progress;
    std::vector<HostRect> advancedRects;
    int32_t abortTests = 0;
    std::vector<std::string> protocolErrors;  // misuse of the host's services
    // What the last open left: whether read-start described an image, and
    // the module's global blocks still alive after read-finish besides those
    // it held before the open (-1 where the platform cannot count them).
    bool imageDescribed = false;
    int64_t moduleBlocksLeft = -1;
};

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

// A host handle with a copy of bytes, as the host hands image resources over,
// and its disposal.
HostHandle NewHostHandle(HostSession *session, const void *bytes, int32_t size);
void DisposeHostHandle(HostSession *session, HostHandle handle);

#endif
