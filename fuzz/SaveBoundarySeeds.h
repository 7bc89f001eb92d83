// Inputs of the save round trip at the boundaries of what the host gives:
// monitors with gammas tiny and huge and chromaticities outside 0 to 1 or
// degenerate; resources with names of odd and even length; images of one
// row or column under every filter; resolutions that round
// either way to pixels per metre, at the host's largest and past it; dates in and out of range and as people type them;
// every File Info dataset the save turns into a text, skips or stops at, at
// the lengths it keeps, and at the list's limit of texts.
#ifndef KORVANE_FUZZ_SAVE_BOUNDARY_SEEDS_H
#define KORVANE_FUZZ_SAVE_BOUNDARY_SEEDS_H

#include <vector>

#include "fuzz/Seed.h"

std::vector<Seed> SaveBoundarySeeds();

#endif
