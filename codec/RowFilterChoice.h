// The filter of every row of an adaptive save, chosen by the module and
// applied by libpng. libpng's own choice keeps the first of equal sums (Sub
// over Paeth on a first row, where the two agree); here a filter other than
// None is taken only when its sum is strictly smaller than that of every
// other candidate, None included, and a shared smallest sum gives None.
#ifndef KORVANE_ROW_FILTER_CHOICE_H
#define KORVANE_ROW_FILTER_CHOICE_H

#include <stddef.h>
#include <stdint.h>

#include "codec/RowFilterSums.h"

struct RowFilterChoice {
    int candidates;  // png_set_filter mask of the save's filter choice
    int applicable;  // those libpng applies to an image of this size
    RowFilterSet set;
    size_t pixelBytes;
    uint32_t width;
    uint32_t height;
    int pass;      // Adam7 pass of the current row; 0 for the whole image
    int lastPass;  // 6 when interlaced, else 0
    uint32_t rowsLeftInPass;
    size_t rowBytes;    // of the current pass's rows
    bool started;       // libpng has had the image's first row
    uint8_t *previous;  // the row above in the current pass; zeros at a pass's start
};

// Sets the choice up for an image of width × height pixels of pixelBytes
// bytes; mask is the filter set the save started libpng with. With a single
// filter there is nothing to choose and no memory is taken. False when the
// previous row's memory cannot be had.
bool StartRowFilterChoice(RowFilterChoice *choice, uint32_t width, uint32_t height, size_t pixelBytes, bool interlaced,
                          int mask);
// The png_set_filter mask to give libpng before handing it row, or 0 when it
// keeps the single filter it started with.
int NextRowFilterMask(RowFilterChoice *choice, const uint8_t *row);
void EndRowFilterChoice(RowFilterChoice *choice);

// The rule on one row's sums: the png_set_filter bit of the filter chosen
// among the candidates.
int FilterByRule(const RowFilterSums &sums, int candidates);

#endif
