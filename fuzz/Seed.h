// One starting input of a fuzz target: a name for its file and its bytes.
#ifndef KORVANE_FUZZ_SEED_H
#define KORVANE_FUZZ_SEED_H

#include <cstdint>
#include <string>
#include <vector>

struct Seed {
    std::string name;
    std::vector<uint8_t> bytes;
};

#endif
