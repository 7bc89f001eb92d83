// On Windows, Ctrl-C, Ctrl-Break and closing the console reach a console
// program as control events, on a thread of their own: the handler removes
// the host's temporary files, then lets the default handler end the process.
// Holding back is a lock the handler waits for; an event that waited while a
// save put its image in place is let go instead.
#include <windows.h>

#include <string>
#include <vector>

#include "pnghost/files/SaveSignals.h"

namespace {

CRITICAL_SECTION *Lock() {
    static CRITICAL_SECTION lock;
    static bool made = false;
    if (!made) {
        InitializeCriticalSection(&lock);
        made = true;
    }
    return &lock;
}

std::vector<std::string> pendingPaths;

// Each control event is numbered as it comes; those up to droppedUpTo are
// let go without ending the process.
volatile LONG eventsCome = 0;
volatile LONG droppedUpTo = 0;

// The lock is not given back: the process ends, and the main thread must
// make no new file meanwhile.
BOOL WINAPI RemoveAndEnd(DWORD) {
    const LONG number = InterlockedIncrement(&eventsCome);
    EnterCriticalSection(Lock());
    if (number <= droppedUpTo) {
        LeaveCriticalSection(Lock());
        return TRUE;
    }
    for (const std::string &path : pendingPaths) DeleteFileA(path.c_str());
    pendingPaths.clear();
    return FALSE;
}

}  // namespace

void RemoveOnSignal(const std::string &path) {
    EnterCriticalSection(Lock());
    static bool installed = false;
    if (!installed) installed = SetConsoleCtrlHandler(RemoveAndEnd, TRUE) != 0;
    pendingPaths.push_back(path);
    LeaveCriticalSection(Lock());
}

void ForgetOnSignal(const std::string &path) {
    EnterCriticalSection(Lock());
    for (size_t i = 0; i < pendingPaths.size(); ++i)
        if (pendingPaths[i] == path) pendingPaths.erase(pendingPaths.begin() + static_cast<long>(i--));
    LeaveCriticalSection(Lock());
}

void HoldSignals() { EnterCriticalSection(Lock()); }
void LetSignalsThrough() { LeaveCriticalSection(Lock()); }

bool SignalWaiting() { return eventsCome > droppedUpTo; }

// The save the events that came would have stopped has put its image in
// place: pnghost must not end as though it had not saved.
void LetThroughUnlessSaved(bool saved) {
    if (saved) droppedUpTo = eventsCome;
    LetSignalsThrough();
}
