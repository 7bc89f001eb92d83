// The save's fault knobs, read from the environment.
#include "pnghost/files/SaveFaults.h"

#include <csignal>
#include <cstdlib>
#include <string>

bool WriteOverWriteFails(int number) {
    const char *setting = std::getenv("PNGHOST_FAIL_WRITE_OVER");
    if (setting == nullptr || *setting == '\0') return false;
    char *end = nullptr;
    const long first = std::strtol(setting, &end, 10);
    return *end == '-' ? number >= first : number == first;
}

void StopIfAsked(const std::string &point) {
    const char *setting = std::getenv("PNGHOST_STOP_AT");
    if (setting == nullptr || point != setting) return;
#ifdef SIGSTOP
    std::raise(SIGSTOP);
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
