#include "tests/reference/RowComparison.h"

namespace {

// One stored sample as the host takes it.
uint8_t HostSample(const uint8_t *row, size_t index, const SpngFile &file) {
    switch (file.bitDepth) {
        case 16: return row[index * 2];
        case 8: return row[index];
        default: {
            const int perByte = 8 / file.bitDepth;
            const int shift = 8 - file.bitDepth * (1 + static_cast<int>(index % perByte));
            const uint8_t value = (row[index / perByte] >> shift) & ((1 << file.bitDepth) - 1);
            if (file.colorType == 3) return value;
            return static_cast<uint8_t>(value * (file.bitDepth == 2 ? 85 : 17));
        }
    }
}

std::string Difference(const SpngRow &row, uint32_t column, int plane, int held, int expected) {
    return "row " + std::to_string(row.row) + " column " + std::to_string(column) + " plane " +
           std::to_string(plane) + " is " + std::to_string(held) + ", libspng says " + std::to_string(expected);
}

// Empty when the host's row, of hostPlanes samples to a pixel, holds what
// the stored row says for the columns the row carries, else the first
// difference.
std::string RowDifference(const SpngFile &file, const HostExpectation &host, const SpngRow &row,
                          const uint8_t *hostRow, int hostPlanes) {
    const size_t hostStep = static_cast<size_t>(hostPlanes);
    for (uint32_t x = row.firstColumn; x < file.width; x += row.columnStep) {
        if (host.depth == 1) {
            // The host's bitmap: 1 is black, a PNG 0.
            const int expected = ~row.bytes[x / 8] >> (7 - x % 8) & 1;
            const int held = hostRow[x / 8] >> (7 - x % 8) & 1;
            if (held != expected) return Difference(row, x, 0, held, expected);
            continue;
        }
        for (int plane = 0; plane < host.planes; ++plane) {
            const size_t index = size_t{x} * static_cast<size_t>(host.planes) + static_cast<size_t>(plane);
            uint8_t expected = HostSample(row.bytes, index, file);
            const bool alpha = host.alphaKept && plane == host.planes - 1;
            if (host.gammaCorrectsRows && !alpha) expected = host.gammaTable[expected];
            const uint8_t held = hostRow[size_t{x} * hostStep + static_cast<size_t>(plane)];
            if (held != expected) return Difference(row, x, plane, held, expected);
        }
    }
    return {};
}

}  // namespace

std::string CompareRowsWithHost(const uint8_t *file, size_t size, const HostRows &host,
                                const ExpectFromHeader &expect, SpngFile *decoded) {
    std::string problem;
    bool described = false;
    HostExpectation expected;
    *decoded = DecodeWithSpng(file, size, [&](const SpngFile &header, const SpngRow &row) {
        if (!described) {
            described = true;
            problem = expect(header, &expected);
            if (!problem.empty()) return false;
        }
        problem = RowDifference(header, expected, row, host.pixels + row.row * host.rowBytes, host.planes);
        return problem.empty();
    });
    return problem;
}
