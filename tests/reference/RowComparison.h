// libspng's decoding of a file held against the host's image row by row, as
// the rows come, so that an image of any size is compared while libspng
// holds one row: the check both differentials make of the pixels, the open's
// and the save's.
#ifndef KORVANE_TESTS_REFERENCE_ROW_COMPARISON_H
#define KORVANE_TESTS_REFERENCE_ROW_COMPARISON_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/reference/HostExpectation.h"
#include "tests/reference/SpngFile.h"

// The host's pixels: rows of rowBytes, planes samples to a pixel, of which
// the file holds the first.
struct HostRows {
    const uint8_t *pixels = nullptr;
    size_t rowBytes = 0;
    int planes = 0;
};

// Called once, at the first row, with what libspng knows of the file then:
// fills in what the host must hold, and returns what differs before any
// pixel (the description, the mode), which ends the comparison.
using ExpectFromHeader = std::function<std::string(const SpngFile &header, HostExpectation *expected)>;

// Empty when every row libspng decodes holds what the host's row holds for
// the columns it carries, else the first difference; *decoded is libspng's
// decoding, whose error the caller judges.
std::string CompareRowsWithHost(const uint8_t *file, size_t size, const HostRows &host,
                                const ExpectFromHeader &expect, SpngFile *decoded);

#endif
