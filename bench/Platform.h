// What the benchmark takes from the operating system, which Linux and
// Windows give in different ways: a fine monotonic clock, files that live in
// memory, and the count of the module's global memory.
#ifndef KORVANE_BENCH_PLATFORM_H
#define KORVANE_BENCH_PLATFORM_H

#include <cstddef>

// Seconds from some fixed moment: wall-clock time, to the microsecond; or,
// with KORVANE_BENCH_CLOCK=cpu in the environment, the CPU time of the
// calling thread, which a busy machine disturbs far less (to the nanosecond
// on Linux; in ticks of 10 to 16 ms on Windows and under Wine).
double ClockSeconds();

// A new empty file open for reading and writing as a C runtime descriptor
// (binary), kept in memory as far as the system allows and gone when closed;
// -1 on failure.
int NewMemoryFile(const char *name);

// Whether the module's GlobalAlloc memory can be counted: on Linux the Win32
// layer counts it; on Windows the module calls the system itself.
bool CountsGlobalMemory();
// Bytes of global memory live now, and the highest count since the last reset
// (0 where it is not counted).
size_t LiveGlobalBytes();
size_t PeakGlobalBytes();
void ResetPeakGlobalBytes();

#endif
