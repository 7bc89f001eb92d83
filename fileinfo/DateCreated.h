// The Date Created dataset: eight ASCII digits, CCYYMMDD.
#ifndef KORVANE_DATE_CREATED_H
#define KORVANE_DATE_CREATED_H

#include <stdint.h>

#include <png.h>

constexpr uint32_t kDateCreatedLength = 8;

// Writes year (its last four digits), month and day of time as eight digits.
void EncodeDateCreated(const png_time &time, uint8_t digits[kDateCreatedLength]);

// Reads year, month and day from the first eight bytes of the dataset's data
// (fewer when it is shorter: missing digits count as absent); the time of day
// is 0. Each part is read as C's atoi reads that fixed slice.
void DecodeDateCreated(const uint8_t *data, uint32_t length, png_time *time);

#endif
