// The progress reports an open or a save that moved every row must make,
// and the abort tests of an open, worked out from the image's size and
// interlace alone, so that a fuzz target holds the module's calls of the
// host's callbacks against them.
#ifndef KORVANE_FUZZ_PROGRESS_RULES_H
#define KORVANE_FUZZ_PROGRESS_RULES_H

#include <vector>

#include "fuzz/FuzzHost.h"

// An open: (row, rows) per row; interlaced, one report per row of the first
// six passes counted from 0, then one per image row after a count skipped,
// against the total the passes' even rows and the image rows make.
std::vector<ProgressReport> OpenProgress(int32_t rows, int32_t columns, bool interlaced);
// A save: (row, rows) per row; interlaced, one per pass row asked for,
// counted from 1, against the rows every pass would take.
std::vector<ProgressReport> SaveProgress(int32_t rows, int32_t columns, bool interlaced);

// Empty when the reports are the ones expected, else the first difference.
FuzzProblem CheckProgress(const std::vector<ProgressReport> &reports, const std::vector<ProgressReport> &expected);

// An open that moved every row asks whether to stop once after each row of
// the first six passes, and never in a straight read: empty when it did.
FuzzProblem CheckOpenAbortTests(int32_t abortTests, int32_t rows, int32_t columns, bool interlaced);

#endif
