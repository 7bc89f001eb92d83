// The filter byte of every stored row of a PNG file, read from its inflated
// image data, with the row's bytes before and after filtering: what checks
// which filter an encoder chose for each row.
#ifndef KORVANE_TESTS_REFERENCE_ROW_FILTERS_H
#define KORVANE_TESTS_REFERENCE_ROW_FILTERS_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct StoredRow {
    int pass = 0;  // 0 when not interlaced, else 1 to 7
    uint8_t filter = 0;
    std::vector<uint8_t> filtered;  // as stored, without the filter byte
    std::vector<uint8_t> raw;       // unfiltered
    std::vector<uint8_t> above;     // the raw row above in the same pass, zeros for the first
};

// False when the file's image data cannot be followed (no IHDR, data that
// does not inflate, a row whose filter byte is above 4).
bool ReadStoredRows(const uint8_t *file, size_t size, std::vector<StoredRow> *rows, size_t *bytesPerPixel);

// The rows of the image data as far as it inflates, whole rows only,
// whatever follows (as in a save that stopped part way); false without a
// header.
bool ReadStoredRowsSoFar(const uint8_t *file, size_t size, std::vector<StoredRow> *rows, size_t *bytesPerPixel);

// True when the image data, inflated as far as it goes, holds every row of
// every pass with a valid filter byte, whatever damage follows; streamEnds
// tells whether the compressed stream is then closed as it should be.
bool RowsArriveWhole(const uint8_t *file, size_t size, bool *streamEnds);

// The filter the choice rule picks for a row among the candidates (a bit
// mask, bit f for filter f): the smallest sum of the filtered bytes taken as
// signed magnitudes; a filter other than None only when its sum is strictly
// smaller than every other candidate's.
int ChosenFilter(const StoredRow &row, size_t bytesPerPixel, unsigned candidates);

// What filter (1 Sub, 2 Up, 3 Average, 4 Paeth; 0 for None and any other
// byte) predicts for byte i of a row, from the raw bytes before it and the
// raw row above.
uint8_t FilterPredictor(int filter, const std::vector<uint8_t> &raw, const std::vector<uint8_t> &above, size_t i,
                        size_t bytesPerPixel);

// The columns and rows of Adam7 pass 1 to 7 of an image (a pass without
// columns has no rows either), or of the whole image for pass 0.
void PassSize(uint32_t width, uint32_t height, int pass, uint32_t *columns, uint32_t *rows);

#endif
