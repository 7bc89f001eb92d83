// How the inputs of a fuzz run ended, class by class, and how many of them
// reached the target's comparison (the check that can find a fault beyond a
// crash or a leak): printed when a fuzz target exits, so that a campaign
// shows where the fuzzer spends its time.
#ifndef KORVANE_FUZZ_OUTCOME_COUNTS_H
#define KORVANE_FUZZ_OUTCOME_COUNTS_H

#include <cstdint>
#include <string>

// Counts one input in the named class; `compared` when the class reached the
// target's comparison. The count of the class so far, this input included.
uint64_t CountOutcome(const std::string &name, bool compared);

// The report goes to stderr when the process exits: every class with its
// count, the compared ones marked, then the share of the inputs that reached
// a comparison; each line starts with the target.
void ReportOutcomesAtExit(const std::string &target);

#endif
