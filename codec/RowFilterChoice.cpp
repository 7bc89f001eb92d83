#include "codec/RowFilterChoice.h"

#include <string.h>

#include <png.h>

#include "plugin/GlobalBlock.h"

namespace {

const int kFilterBits[kRowFilterTypes] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG,
                                          PNG_FILTER_PAETH};
const int kFiltersUsingRowAbove = PNG_FILTER_UP | PNG_FILTER_AVG | PNG_FILTER_PAETH;
const int kFiltersUsingLeftPixel = PNG_FILTER_SUB | PNG_FILTER_AVG | PNG_FILTER_PAETH;

bool HasSeveralFilters(int mask) { return (mask & (mask - 1)) != 0; }

RowFilterSet SetFor(int candidates) {
    if ((candidates & PNG_FILTER_PAETH) != 0) return kEveryFilter;
    if ((candidates & PNG_FILTER_AVG) != 0) return kNoneSubUpAverage;
    return kNoneSubUp;
}

// libpng drops the filters that need a row above from an image of one row,
// and those that need a left pixel from an image of one column, whatever it
// is asked for.
int ApplicableFilters(int candidates, uint32_t width, uint32_t height) {
    int applicable = candidates;
    if (height == 1) applicable &= ~kFiltersUsingRowAbove;
    if (width == 1) applicable &= ~kFiltersUsingLeftPixel;
    return applicable;
}

void StartPass(RowFilterChoice *choice, int pass) {
    choice->pass = pass;
    const uint32_t columns = PNG_PASS_COLS(choice->width, pass);
    choice->rowsLeftInPass = columns > 0 ? PNG_PASS_ROWS(choice->height, pass) : 0;
    choice->rowBytes = columns * choice->pixelBytes;
    memset(choice->previous, 0, choice->rowBytes);
}

// Steps to the pass of the next row as libpng does, past passes without
// pixels; false when the image has no row left.
bool EnterNextRow(RowFilterChoice *choice) {
    while (choice->rowsLeftInPass == 0) {
        if (choice->pass >= choice->lastPass) return false;
        StartPass(choice, choice->pass + 1);
    }
    --choice->rowsLeftInPass;
    return true;
}

}  // namespace

bool StartRowFilterChoice(RowFilterChoice *choice, uint32_t width, uint32_t height, size_t pixelBytes, bool interlaced,
                          int mask) {
    *choice = RowFilterChoice{};
    if (!HasSeveralFilters(mask)) return true;
    choice->previous = static_cast<uint8_t *>(AllocateGlobalBlock(width * pixelBytes));
    if (choice->previous == nullptr) return false;
    choice->candidates = mask;
    choice->applicable = ApplicableFilters(mask, width, height);
    choice->set = SetFor(mask);
    choice->pixelBytes = pixelBytes;
    choice->width = width;
    choice->height = height;
    if (interlaced) {
        choice->pass = -1;
        choice->lastPass = 6;
    } else {
        choice->rowsLeftInPass = height;
        choice->rowBytes = width * pixelBytes;
    }
    return true;
}

int NextRowFilterMask(RowFilterChoice *choice, const uint8_t *row) {
    if (choice->previous == nullptr || !EnterNextRow(choice)) return 0;
    const RowFilterSums sums = SumRowFilters(row, choice->previous, choice->rowBytes, choice->pixelBytes, choice->set);
    int chosen = FilterByRule(sums, choice->candidates);
    if ((chosen & choice->applicable) == 0) chosen = PNG_FILTER_NONE;
    memcpy(choice->previous, row, choice->rowBytes);
    if (choice->started) return chosen;
    // libpng keeps the row above only when the set it starts the image with
    // has a filter that needs it; Up is added for that. On the first row Up
    // gives the row's own bytes, as None does, and the filter chosen there
    // (None, Sub or Average: Up ties with None, Paeth with Sub) is one libpng
    // takes over Up too, as it keeps None on equal sums and takes another
    // filter only for a smaller sum.
    choice->started = true;
    return chosen | PNG_FILTER_UP;
}

void EndRowFilterChoice(RowFilterChoice *choice) {
    ReleaseGlobalBlock(choice->previous);
    choice->previous = nullptr;
}

int FilterByRule(const RowFilterSums &sums, int candidates) {
    int best = -1;
    bool shared = false;
    for (int type = 0; type < kRowFilterTypes; ++type) {
        if ((candidates & kFilterBits[type]) == 0) continue;
        if (best < 0 || sums.byType[type] < sums.byType[best]) {
            best = type;
            shared = false;
        } else if (sums.byType[type] == sums.byType[best]) {
            shared = true;
        }
    }
    return best < 0 || shared ? PNG_FILTER_NONE : kFilterBits[best];
}
