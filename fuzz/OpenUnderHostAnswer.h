// An open run again with the host answering part way (fuzz/HostAnswers.h)
// and held against the plain open of the same file: the result the module
// must give then, the rows and progress reports the host got before the
// stop exactly those of the plain open, nothing of the module's left.
#ifndef KORVANE_FUZZ_OPEN_UNDER_HOST_ANSWER_H
#define KORVANE_FUZZ_OPEN_UNDER_HOST_ANSWER_H

#include <functional>
#include <vector>

#include "fuzz/FuzzHost.h"
#include "fuzz/HostAnswers.h"

// What one open did through the host.
struct OpenRun : HostRun {
    std::vector<uint8_t> pixels;  // the host's image, when kept
    int32_t rowBytes = 0;
};

// The run since StartCounting; the host's pixels with it when the answer
// needs them.
OpenRun TakeOpenRun(const HostSession &session, int16_t result, const HostAnswer &answer);

// Opens the same file again through the host with the answer armed, when
// it falls within the calls the plain open made; `open` runs the open's
// steps (StartCounting first) and returns its result.
FuzzProblem CheckOpenUnderHostAnswer(FuzzHost *host, const HostAnswer &answer, const OpenRun &plain,
                                     const std::function<int16_t()> &open);

#endif
