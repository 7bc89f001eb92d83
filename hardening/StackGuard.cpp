// The stack cookie of every Windows program and module this project builds,
// and what happens when one is found overwritten. GCC's -fstack-protector-strong
// reads the cookie by the name __stack_chk_guard and calls __stack_chk_fail
// when it changed; _FORTIFY_SOURCE's checked copies (libssp's __memcpy_chk
// and the rest) call __chk_fail. libssp has all three, but its cookie is
// seeded through ADVAPI32's CryptGenRandom, a DLL the module must not
// import; defined here, they keep libssp's seeding out of the link, and the
// cookie is seeded from KERNEL32 as the Microsoft compiler's runtime seeds
// Windows programs' own.
#include <windows.h>

#include <cstdint>

namespace {

// The Microsoft compiler's initial cookie: a program whose cookie still holds
// it was never seeded.
constexpr std::uintptr_t kUnseededCookie = 0xBB40E64E;

}  // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = kUnseededCookie;

// The stack or a buffer can no longer be trusted, so the process ends here,
// with Windows' status for a stack buffer overrun: no exception handler,
// unwinding or exit routine of the host or of this image runs.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}

[[noreturn]] void __chk_fail() { __stack_chk_fail(); }

}  // extern "C"

namespace {

// Seeds the cookie from the time, the process and thread ids, the tick
// count, the performance counter and where the stack lies, as a constructor
// of the first priority a program may give, ahead of the image's ordinary
// constructors. Only the C runtime's start-up code, which keeps no cookie,
// is under it on the stack, so no function that checks the cookie spans the
// change. This function changes the cookie, so it must not check it itself.
__attribute__((constructor(101), no_stack_protector)) void SeedStackCookie() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uintptr_t cookie = now.dwLowDateTime ^ now.dwHighDateTime ^ GetCurrentProcessId() ^ GetCurrentThreadId() ^
                            GetTickCount() ^ counter.LowPart ^ static_cast<std::uintptr_t>(counter.HighPart) ^
                            reinterpret_cast<std::uintptr_t>(&counter);
    // Never the unseeded value, and never one whose upper half is zero, which
    // a short overwrite could guess.
    if (cookie == kUnseededCookie) cookie = kUnseededCookie + 1;
    if ((cookie & 0xFFFF0000u) == 0) cookie |= (cookie | 0x4711u) << 16;
    __stack_chk_guard = cookie;
}

}  // namespace
