// Linux: the steady clock, memfd files, and the Win32 layer's own count of
// global memory.
#include "bench/Platform.h"

#include <sys/mman.h>

#include <chrono>

#include "win32_layer.h"

double ClockSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int NewMemoryFile(const char *name) { return memfd_create(name, 0); }

bool CountsGlobalMemory() { return true; }
size_t LiveGlobalBytes() { return Win32LiveGlobalBytes(); }
size_t PeakGlobalBytes() { return Win32PeakGlobalBytes(); }
void ResetPeakGlobalBytes() { Win32ResetPeakGlobalBytes(); }
