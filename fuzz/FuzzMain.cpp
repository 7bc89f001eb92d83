// The libFuzzer entry points of one target; KORVANE_FUZZ_DRIVER names the
// driver. The module is loaded once, before fuzzing starts, so that its
// coverage counters are known to the fuzzer from the first input. How the
// inputs ended is printed at exit, class by class.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzHost.h"
#include "fuzz/OutcomeCounts.h"
#include "win32_layer.h"

namespace {
FuzzHost gHost;

// As the editor does when it quits: the module is unloaded.
void UnloadModule() { StopFuzzHost(&gHost); }
}

extern "C" int LLVMFuzzerInitialize(int *, char ***arguments) {
    const char *program = (*arguments)[0];
    const char *slash = std::strrchr(program, '/');
    ReportOutcomesAtExit(slash != nullptr ? slash + 1 : program);
    std::string error;
    if (!StartFuzzHost(&gHost, ModuleBesideProgram(), &error)) {
        std::fprintf(stderr, "cannot start the host: %s\n", error.c_str());
        std::abort();
    }
    std::atexit(UnloadModule);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const FuzzProblem problem = KORVANE_FUZZ_DRIVER(&gHost, data, size);
    Win32ClearAlerts();
    Win32ClearDialogActions();
    if (!problem.empty()) {
        const char *whose = IsHarnessFault(problem) ? "the harness failed its own check" : "the module broke a rule";
        std::fprintf(stderr, "%s: %s\n", whose, problem.c_str());
        std::abort();
    }
    return 0;
}
