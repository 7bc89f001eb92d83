// The signal handler that removes the host's temporary files, on Linux.
#include "pnghost/files/SaveSignals.h"

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

// Every signal whose default action ends the process, the real-time ones
// after them. SIGKILL and SIGSTOP cannot be caught.
const int kSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,
                        SIGUSR1, SIGSEGV, SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU,
                        SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS};

// Paths the handler may read at any moment: fixed storage, filled while the
// signals are held back.
const int kMostFiles = 4;
char pendingPaths[kMostFiles][PATH_MAX];
volatile sig_atomic_t pending[kMostFiles];

sigset_t TheSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : kSignals) sigaddset(&set, number);
    for (int number = SIGRTMIN; number <= SIGRTMAX; ++number) sigaddset(&set, number);
    return set;
}

void RemoveAndEnd(int number) {
    for (int i = 0; i < kMostFiles; ++i)
        if (pending[i]) unlink(pendingPaths[i]);
    signal(number, SIG_DFL);
    raise(number);  // delivered, by default, once the handler returns
}

// Only a signal at its default action: one the process was started
// ignoring (nohup, a background job's SIGINT) stays ignored, and one that
// is already handled (a sanitizer's report of a crash) stays so.
void InstallHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    action.sa_mask = TheSignals();
    const sigset_t set = action.sa_mask;
    for (int number = 1; number < NSIG; ++number) {
        struct sigaction before {};
        if (sigismember(&set, number) != 1 || sigaction(number, nullptr, &before) != 0) continue;
        if (before.sa_handler == SIG_DFL) sigaction(number, &action, nullptr);
    }
}

}  // namespace

void HoldSignals() {
    const sigset_t set = TheSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
}

void LetSignalsThrough() {
    const sigset_t set = TheSignals();
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// The slots change with the signals held back, and the caller's own holding
// is left as it was.
void RemoveOnSignal(const std::string &path) {
    if (path.size() >= PATH_MAX) return;
    const sigset_t set = TheSignals();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &set, &before);
    InstallHandlers();
    for (int i = 0; i < kMostFiles; ++i) {
        if (pending[i]) continue;
        std::memcpy(pendingPaths[i], path.c_str(), path.size() + 1);
        pending[i] = 1;
        break;
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

void ForgetOnSignal(const std::string &path) {
    const sigset_t set = TheSignals();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &set, &before);
    for (int i = 0; i < kMostFiles; ++i)
        if (pending[i] && path == pendingPaths[i]) pending[i] = 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
}
