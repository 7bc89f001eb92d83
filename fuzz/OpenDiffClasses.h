// The known ways in which the module and libspng may disagree on whether a
// file opens at all. The module follows its own chunk rules, stricter than
// libspng's in places (chunk order, sizes the host can hold) and looser in
// others (it does not look into ancillary chunks it has no use for, nor past
// the image data). Every difference falls in a listed class, or it is a
// finding.
#ifndef KORVANE_FUZZ_OPEN_DIFF_CLASSES_H
#define KORVANE_FUZZ_OPEN_DIFF_CLASSES_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/reference/SpngFile.h"

enum class OpenStage { Probe, ReadStart, ReadContinue };

struct OpenOutcome {
    int16_t result = 0;
    OpenStage stage = OpenStage::Probe;  // the step that gave the result
    bool pixelsKept = false;             // the host held the image's pixels
};

// Decodes bytes with libspng and holds what the host received against the
// decoding; what differs, empty when nothing does.
using CompareWithDecode = std::function<std::string(const uint8_t *file, size_t size, SpngFile *decoded)>;

// Empty when the outcome of a file that at least one side refused is of a
// listed class (counted: OutcomeCounts.h), else what is wrong. Where the module opened the
// file, what the host received is compared with libspng's decoding of the
// file without the part the class names.
std::string CheckAcceptance(const uint8_t *file, size_t size, const OpenOutcome &outcome, const SpngFile &reference,
                            const CompareWithDecode &compare);

// Empty, and counted, when a file both sides opened alike also passes the
// module's chunk rules, else what is wrong.
std::string CheckAgreement(const uint8_t *file, size_t size);

#endif
