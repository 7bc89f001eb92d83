// Linux: the steady clock or the thread's CPU clock, memfd files, and the
// Win32 layer's own count of global memory.
#include "bench/Platform.h"

#include <sys/mman.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "win32_layer.h"

namespace {

bool CountsCpuTime() {
    static const char *const clock = std::getenv("KORVANE_BENCH_CLOCK");
    return clock != nullptr && std::strcmp(clock, "cpu") == 0;
}

}  // namespace

double ClockSeconds() {
    if (CountsCpuTime()) {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int NewMemoryFile(const char *name) { return memfd_create(name, 0); }

bool CountsGlobalMemory() { return true; }
size_t LiveGlobalBytes() { return Win32LiveGlobalBytes(); }
size_t PeakGlobalBytes() { return Win32PeakGlobalBytes(); }
void ResetPeakGlobalBytes() { Win32ResetPeakGlobalBytes(); }
