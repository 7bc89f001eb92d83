// The session of the host with one module: what the host offers it, what it
// holds for it, and what the module did through the host's services.
#ifndef PNGHOST_HOST_SESSION_H
#define PNGHOST_HOST_SESSION_H

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
    // Buffer allocations are refused with this code (0: they succeed): the
    // allocation numbered refuseBufferCall alone (counting from 0), or every
    // one when that is -1.
    int16_t refuseBuffers = 0;
    int32_t refuseBufferCall = -1;
    // The lock numbered nullLockCall yields no address (-1: never).
    int32_t nullLockCall = -1;
    // The module's new-handle request numbered refuseHandleCall yields no
    // handle (-1: never).
    int32_t refuseHandleCall = -1;
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
    // A host that offers no progress callback, or no abort test.
    bool withoutProgress = false;
    bool withoutAbortTest = false;
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
    // The module's calls of the buffer suite's allocate and lock and of the
    // handle suite's new, as the faults above count them.
    int32_t bufferAllocations = 0;
    int32_t bufferLocks = 0;
    int32_t moduleHandles = 0;
    std::vector<std::string> protocolErrors;  // misuse of the host's services
    // What the last open left: whether read-start described an image, and
    // the module's global blocks still alive after read-finish besides those
    // it held before the open (-1 where the platform cannot count them).
    bool imageDescribed = false;
    int64_t moduleBlocksLeft = -1;
};

#endif
