// A save run again with the host answering part way (fuzz/HostAnswers.h)
// and held against the plain save of the same image: the result the module
// must give then, the rows and progress reports of the plain save up to the
// stop, a file that a stopped save leaves closed with IEND behind the rows
// written so far, nothing of the module's left.
#ifndef KORVANE_FUZZ_SAVE_UNDER_HOST_ANSWER_H
#define KORVANE_FUZZ_SAVE_UNDER_HOST_ANSWER_H

#include <functional>
#include <vector>

#include "fuzz/FuzzHost.h"
#include "fuzz/HostAnswers.h"

// What one save did through the host, and the file it wrote.
struct SaveRun : HostRun {
    std::vector<uint8_t> file;
};

// The run since StartCounting.
SaveRun TakeSaveRun(const HostSession &session, int16_t result, std::vector<uint8_t> file);

// Saves again into an empty file with the answer armed, when it falls
// within the calls the plain save made; `save` runs the save's steps into
// the descriptor (StartCounting first) and returns the result. `prepare`,
// when given, runs first, unanswered: what the host does before the save
// (an open), with its result.
FuzzProblem CheckSaveUnderHostAnswer(FuzzHost *host, const HostAnswer &answer, const SaveRun &plain,
                                     const std::function<int16_t(int file)> &save,
                                     const std::function<int16_t()> &prepare = nullptr);

#endif
