#include "fuzz/OutcomeCounts.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

struct Tally {
    uint64_t count = 0;
    bool compared = false;
};

struct Outcomes {
    std::map<std::string, Tally> classes;
    std::string target;
};

// Never destroyed: the report is printed while the process exits.
Outcomes &AllOutcomes() {
    static Outcomes *outcomes = new Outcomes;
    return *outcomes;
}

// Every class with its count, the compared ones marked, then the share of
// the inputs that reached a comparison; each line starts with the target.
std::string OutcomeReport() {
    const std::string &target = AllOutcomes().target;
    uint64_t all = 0, compared = 0;
    std::string lines;
    char line[64];
    for (const auto &entry : AllOutcomes().classes) {
        const Tally &tally = entry.second;
        all += tally.count;
        if (tally.compared) compared += tally.count;
        std::snprintf(line, sizeof line, ": %c %10llu  ", tally.compared ? '*' : ' ',
                      static_cast<unsigned long long>(tally.count));
        lines += target + line + entry.first + "\n";
    }
    std::snprintf(line, sizeof line, "%.1f", all == 0 ? 0.0 : 100.0 * double(compared) / double(all));
    return target + ": " + std::to_string(all) + " executions by class (* reached the target's comparison):\n" + lines + target +
           ": " + std::to_string(compared) + " of " + std::to_string(all) + " executions (" + line +
           " %) reached the target's comparison\n";
}

void PrintOutcomes() { std::fputs(OutcomeReport().c_str(), stderr); }

}  // namespace

uint64_t CountOutcome(const std::string &name, bool compared) {
    Tally &tally = AllOutcomes().classes[name];
    tally.compared = compared;
    return ++tally.count;
}

void ReportOutcomesAtExit(const std::string &target) {
    AllOutcomes().target = target;
    std::atexit(PrintOutcomes);
}
