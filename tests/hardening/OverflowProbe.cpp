// overflow_probe MODE [COUNT]: a test-only program that shows what the Windows
// build's stack cookies and checked copies do (scripts/test-wine.sh runs it
// under Wine). Modes:
//   cookies            prints this program's cookie and overflow_module.dll's
//   overflow COUNT     writes COUNT bytes into a local array of sixteen
//   module COUNT       the same inside overflow_module.dll
//   fortified COUNT    strcpy of a string of COUNT characters (up to 63)
//                      into an array of sixteen inside a larger record
// What fits returns, printing "returned"; more must end the
// process at once with STATUS_STACK_BUFFER_OVERRUN, before the exit routine
// registered here runs or the module is told it is detached.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "OverflowWrites.h"

extern "C" std::uintptr_t __stack_chk_guard;
extern "C" __declspec(dllimport) std::uintptr_t ModuleCookie();
extern "C" __declspec(dllimport) int OverflowInModule(int count);

namespace {

void SayExitRoutineRan() { std::puts("exit routine ran"); }

int Overflow(const char *mode, int count) {
    if (std::strcmp(mode, "overflow") == 0) return WriteIntoSixteenBytes(count);
    if (std::strcmp(mode, "module") == 0) return OverflowInModule(count);
    if (std::strcmp(mode, "fortified") == 0 && count < 64) return CopyStringIntoSixteenBytes(count);
    std::fprintf(stderr, "overflow_probe: unknown mode %s\n", mode);
    std::exit(2);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "cookies") == 0) {
        std::printf("%08lx %08lx\n", static_cast<unsigned long>(__stack_chk_guard),
                    static_cast<unsigned long>(ModuleCookie()));
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: overflow_probe cookies | overflow_probe overflow|module|fortified COUNT\n");
        return 2;
    }
    std::atexit(SayExitRoutineRan);
    std::fflush(stdout);
    Overflow(argv[1], std::atoi(argv[2]));
    std::puts("returned");
    return 0;
}
