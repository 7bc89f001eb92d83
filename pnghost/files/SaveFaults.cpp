// The save's fault knobs, read from the environment.
#include "pnghost/files/SaveFaults.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

bool WriteOverWriteFails(int number) {
    const char *setting = std::getenv("PNGHOST_FAIL_WRITE_OVER");
    if (setting == nullptr || *setting == '\0') return false;
    char *end = nullptr;
    const long first = std::strtol(setting, &end, 10);
    return *end == '-' ? number >= first : number == first;
}

int CopyRemovalFailures() {
    const char *setting = std::getenv("PNGHOST_FAIL_COPY_REMOVAL");
    return setting == nullptr ? 0 : std::atoi(setting);
}

// Windows has no SIGSTOP: there the process says where it waits and goes on
// at a line on standard input.
void StopIfAsked(const std::string &point) {
    const char *setting = std::getenv("PNGHOST_STOP_AT");
    if (setting == nullptr || point != setting) return;
#ifdef SIGSTOP
    std::raise(SIGSTOP);
#else
    std::fprintf(stderr, "pnghost: stopped at %s until a line comes on standard input\n", setting);
    std::fflush(stderr);
    char line[16];
    std::fgets(line, sizeof line, stdin);
#endif
}

#ifdef _WIN32
unsigned long ReplaceFailsWith(bool *putBackFails) {
    const char *setting = std::getenv("PNGHOST_FAIL_REPLACE");
    if (setting == nullptr || *setting == '\0') return 0;
    char *end = nullptr;
    const unsigned long code = std::strtoul(setting, &end, 10);
    *putBackFails = *end == '-';
    return code;
}
#endif
