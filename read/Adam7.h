// The Adam7 interlace geometry, for putting interlaced images together on
// read and taking them apart on save.
#ifndef KORVANE_ADAM7_H
#define KORVANE_ADAM7_H

struct Adam7Pass {
    int firstColumn;
    int columnStep;
    int firstRow;
    int rowStep;
    // Passes 1 to 6 touch only even image rows: their first row and step
    // counted in even rows.
    int firstEvenRow;
    int evenRowStep;
};

enum { kAdam7Passes = 7 };

// Index 0 is pass 1. Pass 7 carries every odd row whole.
constexpr Adam7Pass kAdam7[kAdam7Passes] = {
    {0, 8, 0, 8, 0, 4}, {4, 8, 0, 8, 0, 4}, {0, 4, 4, 8, 2, 4}, {2, 4, 0, 4, 0, 2},
    {0, 2, 2, 4, 1, 2}, {1, 2, 0, 2, 0, 1}, {0, 1, 1, 2, 0, 0},
};

// Rows (or columns) a pass holds of an image `extent` rows (or columns) long.
constexpr int PassExtent(int extent, int first, int step) {
    return extent > first ? (extent - first + step - 1) / step : 0;
}

#endif
