// What each PNG row filter would make of a row: the sum of the filtered
// bytes' magnitudes, each byte taken as a signed byte (0x01 and 0xFF both
// count 1). The smaller the sum, the better deflate tends to do on the row.
#ifndef KORVANE_ROW_FILTER_SUMS_H
#define KORVANE_ROW_FILTER_SUMS_H

#include <stddef.h>
#include <stdint.h>

// Sums by filter type: None, Sub, Up, Average, Paeth.
enum { kRowFilterTypes = 5 };
struct RowFilterSums {
    uint32_t byType[kRowFilterTypes];
};

// Which filters a sum is wanted for.
enum RowFilterSet {
    kNoneSubUp,         // None, Sub, Up
    kNoneSubUpAverage,  // and Average
    kEveryFilter,       // all five
};

// Sums for row against previous (the row above, zeros for the first row of
// an image or pass), both rowBytes long, pixels of pixelBytes bytes. Filters
// outside set are left at 0. A row of at most 131068 bytes (32767 pixels of
// four bytes) sums to less than 2^32.
RowFilterSums SumRowFilters(const uint8_t *row, const uint8_t *previous, size_t rowBytes, size_t pixelBytes,
                            RowFilterSet set);

#endif
