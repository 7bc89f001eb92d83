// libFuzzer's custom mutator and crossover for the targets whose input is a
// control byte and a PNG file; linked into those targets alone.
#include <cstddef>
#include <cstdint>

#include "fuzz/PngMutations.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t maxSize, unsigned int seed) {
    return MutatePngInput(data, size, maxSize, seed, LLVMFuzzerMutate);
}

extern "C" size_t LLVMFuzzerCustomCrossOver(const uint8_t *first, size_t firstSize, const uint8_t *second,
                                            size_t secondSize, uint8_t *out, size_t maxSize, unsigned int seed) {
    return CrossOverPngInputs(first, firstSize, second, secondSize, out, maxSize, seed);
}
