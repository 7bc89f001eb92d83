// On Windows, Ctrl-C, Ctrl-Break and closing the console reach a console
// program as control events, on a thread of their own: the handler removes
// the host's temporary files, then lets the default handler end the process.
// Holding back is a lock the handler waits for.
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

// The lock is not given back: the process ends, and the main thread must
// make no new file meanwhile.
BOOL WINAPI RemoveAndEnd(DWORD) {
    EnterCriticalSection(Lock());
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
