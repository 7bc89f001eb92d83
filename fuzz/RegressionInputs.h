// The checked-in inputs on which a fuzz target or its mutator once failed,
// fuzz/regressions/TARGET/, for the tests that run them again.
#ifndef KORVANE_FUZZ_REGRESSION_INPUTS_H
#define KORVANE_FUZZ_REGRESSION_INPUTS_H

#include <string>
#include <vector>

#include "fuzz/Seed.h"

// The target's inputs in name order; none when it has no folder.
std::vector<Seed> RegressionInputs(const std::string &target);

#endif
