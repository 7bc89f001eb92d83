// Windows: the performance counter (MinGW's steady clock is the system time,
// which ticks every 15.6 ms on Windows) or the thread's times, temporary
// files that the system keeps in its cache and deletes on close, and no count
// of global memory.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "bench/Platform.h"

namespace {

bool CountsCpuTime() {
    static const char *const clock = std::getenv("KORVANE_BENCH_CLOCK");
    return clock != nullptr && std::strcmp(clock, "cpu") == 0;
}

ULONGLONG Ticks(const FILETIME &time) {  // FILETIME counts 100 ns
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

double ClockSeconds() {
    if (CountsCpuTime()) {
        FILETIME created, ended, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
        return static_cast<double>(Ticks(kernel) + Ticks(user)) * 1e-7;
    }
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int NewMemoryFile(const char *name) {
    char folder[MAX_PATH], path[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, name, 0, path) == 0) return -1;
    const HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (descriptor == -1) CloseHandle(file);
    return descriptor;
}

bool CountsGlobalMemory() { return false; }
size_t LiveGlobalBytes() { return 0; }
size_t PeakGlobalBytes() { return 0; }
void ResetPeakGlobalBytes() {}
