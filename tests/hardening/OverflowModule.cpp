// A test-only DLL with the same stack cookie as Korvane.8BI: overflow_probe
// loads it to overflow a local array inside a module, as a faulty or
// attacked module function would. It says when it is detached, which a
// process that ends at once never does.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "OverflowWrites.h"

extern "C" std::uintptr_t __stack_chk_guard;

extern "C" __declspec(dllexport) std::uintptr_t ModuleCookie() { return __stack_chk_guard; }

extern "C" __declspec(dllexport) int OverflowInModule(int count) { return WriteIntoSixteenBytes(count); }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        std::puts("module detached");
        std::fflush(stdout);
    }
    return TRUE;
}
