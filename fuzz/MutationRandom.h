// The custom mutator's source of choices: a small generator seeded with the
// seed libFuzzer passes, so that a mutation is the same for the same seed on
// every platform, 32-bit ones too.
#ifndef KORVANE_FUZZ_MUTATION_RANDOM_H
#define KORVANE_FUZZ_MUTATION_RANDOM_H

#include <cstddef>
#include <cstdint>

struct MutationRandom {
    uint64_t state;

    explicit MutationRandom(uint64_t seed) : state(seed) {}

    // splitmix64: every seed, 0 included, gives a full-length sequence.
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to bound - 1; 0 when bound is 0.
    uint32_t Below(uint32_t bound) { return bound == 0 ? 0 : static_cast<uint32_t>(Next() % bound); }
    size_t Index(size_t count) { return count == 0 ? 0 : static_cast<size_t>(Next() % count); }
    // True once in `times` on average.
    bool OneIn(uint32_t times) { return Below(times) == 0; }
    uint8_t Byte() { return static_cast<uint8_t>(Next()); }
    template <typename T, size_t N>
    T Pick(const T (&values)[N]) {
        return values[Below(N)];
    }
};

#endif
