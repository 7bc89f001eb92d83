// The signal handler that removes the host's temporary files, on Linux.
// Signals 32 and 33 are the C library's own: its sigaction and sigprocmask
// refuse them, yet the kernel sends them as any other and their default
// action ends the process. pnghost starts no thread, so it sets and holds
// every signal through the kernel's own calls, which take them all.
#include "pnghost/files/SaveSignals.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// A signal's action as the kernel's rt_sigaction takes it; a set of signals
// as its 64-bit mask, signal N as bit N - 1.
struct KernelAction {
    void (*handler)(int);
    unsigned long flags;
    void (*restorer)();
    uint64_t mask;
};

// The kernel's real-time signals, every one of which ends the process by
// default; the C library keeps the first two and numbers SIGRTMIN after them.
const int kFirstRealTime = 32;
const int kLastSignal = 64;

// Every other signal whose default action ends the process. SIGKILL and
// SIGSTOP cannot be caught.
const int kSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,
                        SIGUSR1, SIGSEGV, SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU,
                        SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS};

// Paths the handler may read at any moment: fixed storage, filled while the
// signals are held back.
const int kMostFiles = 4;
char pendingPaths[kMostFiles][PATH_MAX];
volatile sig_atomic_t pending[kMostFiles];

uint64_t Bit(int number) { return uint64_t{1} << (number - 1); }

uint64_t TheSignals() {
    uint64_t set = 0;
    for (int number : kSignals) set |= Bit(number);
    for (int number = kFirstRealTime; number <= kLastSignal; ++number) set |= Bit(number);
    return set;
}

long SetAction(int number, const KernelAction *action, KernelAction *before) {
    return syscall(SYS_rt_sigaction, number, action, before, sizeof(uint64_t));
}

long SetHeld(int how, const uint64_t *set, uint64_t *before) {
    return syscall(SYS_rt_sigprocmask, how, set, before, sizeof(uint64_t));
}

void RemoveAndEnd(int number) {
    for (int i = 0; i < kMostFiles; ++i)
        if (pending[i]) unlink(pendingPaths[i]);
    const KernelAction byDefault{};
    SetAction(number, &byDefault, nullptr);
    kill(getpid(), number);  // delivered, by default, once the handler returns
}

// The handler's action as the C library makes it, read back from the
// kernel: on x86-64 the kernel returns from a handler through the library's
// own trampoline (SA_RESTORER), which only the library knows. Every one of
// the signals is held while it runs.
bool AsTheLibraryMakesIt(int number, KernelAction *action) {
    struct sigaction handled {};
    handled.sa_handler = RemoveAndEnd;
    if (sigaction(number, &handled, nullptr) != 0 || SetAction(number, nullptr, action) != 0) return false;
    action->mask = TheSignals();
    return true;
}

// Only a signal at its default action: one the process was started
// ignoring (nohup, a background job's SIGINT) stays ignored, and one that
// is already handled (a sanitizer's report of a crash) stays so.
void InstallHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    const uint64_t set = TheSignals();
    KernelAction ours{};
    for (int number = 1; number <= kLastSignal; ++number) {
        KernelAction before{};
        if ((set & Bit(number)) == 0 || SetAction(number, nullptr, &before) != 0 || before.handler != SIG_DFL)
            continue;
        if (ours.handler == nullptr && !AsTheLibraryMakesIt(number, &ours)) continue;
        SetAction(number, &ours, nullptr);
    }
}

}  // namespace

void HoldSignals() {
    const uint64_t set = TheSignals();
    SetHeld(SIG_BLOCK, &set, nullptr);
}

void LetSignalsThrough() {
    const uint64_t set = TheSignals();
    SetHeld(SIG_UNBLOCK, &set, nullptr);
}

void LetThroughUnlessSaved(bool saved) {
    if (!saved) LetSignalsThrough();
}

// A signal that is held is kept waiting even when it is ignored (SIGPIPE,
// or one pnghost was started ignoring), to be dropped when let through.
bool SignalWaiting() {
    uint64_t waiting = 0;
    if (syscall(SYS_rt_sigpending, &waiting, sizeof waiting) != 0) return false;
    waiting &= TheSignals();
    for (int number = 1; number <= kLastSignal; ++number) {
        KernelAction action{};
        if ((waiting & Bit(number)) != 0 && SetAction(number, nullptr, &action) == 0 && action.handler != SIG_IGN)
            return true;
    }
    return false;
}

// The slots change with the signals held back, and the caller's own holding
// is left as it was.
void RemoveOnSignal(const std::string &path) {
    if (path.size() >= PATH_MAX) return;
    const uint64_t set = TheSignals();
    uint64_t before = 0;
    SetHeld(SIG_BLOCK, &set, &before);
    InstallHandlers();
    for (int i = 0; i < kMostFiles; ++i) {
        if (pending[i]) continue;
        std::memcpy(pendingPaths[i], path.c_str(), path.size() + 1);
        pending[i] = 1;
        break;
    }
    SetHeld(SIG_SETMASK, &before, nullptr);
}

void ForgetOnSignal(const std::string &path) {
    const uint64_t set = TheSignals();
    uint64_t before = 0;
    SetHeld(SIG_BLOCK, &set, &before);
    for (int i = 0; i < kMostFiles; ++i)
        if (pending[i] && path == pendingPaths[i]) pending[i] = 0;
    SetHeld(SIG_SETMASK, &before, nullptr);
}
