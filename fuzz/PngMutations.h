// The custom mutator and crossover of the targets whose input is two control
// bytes followed by a PNG file: most mutations work on the file's chunks and
// write it back with every length and CRC right, so that most inputs reach
// the pixels; a small share keeps libFuzzer's byte-level changes, so that the
// damaged-file paths stay covered.
#ifndef KORVANE_FUZZ_PNG_MUTATIONS_H
#define KORVANE_FUZZ_PNG_MUTATIONS_H

#include <cstddef>
#include <cstdint>

// The control bytes before the file: the target's own, then the host's
// answers (fuzz/HostAnswers.h).
const size_t kControlBytes = 2;

// libFuzzer's own byte-level mutation (LLVMFuzzerMutate), or a stand-in.
using ByteMutator = size_t (*)(uint8_t *data, size_t size, size_t maxSize);

// Mutates the input in place within maxSize bytes; its new size. The same
// seed gives the same mutation, the byte-level share aside, which draws on
// libFuzzer's own generator.
size_t MutatePngInput(uint8_t *data, size_t size, size_t maxSize, unsigned seed, ByteMutator mutateBytes);

// One input made of two: chunks of the second put into the first, or the
// second's image with the first's ancillary chunks; 0 when none can be made
// within maxSize.
size_t CrossOverPngInputs(const uint8_t *first, size_t firstSize, const uint8_t *second, size_t secondSize,
                          uint8_t *out, size_t maxSize, unsigned seed);

#endif
