// Reads driven through the codec on real files: PNG streams built chunk by
// chunk with zlib, and a session that opens, describes and reads them the way
// read-start and read-continue do, checking that nothing is left allocated.
#ifndef KORVANE_TESTS_READ_TEST_SUPPORT_H
#define KORVANE_TESTS_READ_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "codec/CodecRelease.h"
#include "codec/ReadCodec.h"
#include "tests/module/TempFile.h"
#include "win32_layer.h"

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<Bytes>;

inline Bytes Text(const std::string &text) { return Bytes(text.begin(), text.end()); }

inline Bytes BigEndian(uint32_t value) {
    return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

inline Bytes Deflated(const Bytes &data) {
    uLongf size = compressBound(data.size());
    Bytes out(size);
    compress(out.data(), &size, data.data(), data.size());
    out.resize(size);
    return out;
}

// A PNG file, chunk by chunk, every CRC right unless asked otherwise.
inline Bytes PngSignature() {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return Bytes(kSignature, kSignature + sizeof kSignature);
}

struct PngStream {
    Bytes bytes = PngSignature();

    PngStream &Chunk(const std::string &type, const Bytes &data, bool goodCrc = true) {
        const Bytes length = BigEndian(uint32_t(data.size()));
        bytes.insert(bytes.end(), length.begin(), length.end());
        bytes.insert(bytes.end(), type.begin(), type.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
        uLong crc = crc32(crc32(0, Z_NULL, 0), reinterpret_cast<const Bytef *>(type.data()), 4);
        if (!data.empty()) crc = crc32(crc, data.data(), uInt(data.size()));  // a null buffer would reset it
        const Bytes sum = BigEndian(uint32_t(goodCrc ? crc : ~crc));
        bytes.insert(bytes.end(), sum.begin(), sum.end());
        return *this;
    }
    PngStream &Header(uint32_t width, uint32_t height, int depth, int colorType, int interlace = 0) {
        Bytes data = BigEndian(width);
        const Bytes h = BigEndian(height);
        data.insert(data.end(), h.begin(), h.end());
        data.insert(data.end(), {uint8_t(depth), uint8_t(colorType), 0, 0, uint8_t(interlace)});
        return Chunk("IHDR", data);
    }
    // Rows as stored, each after its filter byte.
    PngStream &Image(const Bytes &filteredRows) { return Chunk("IDAT", Deflated(filteredRows)); }
    PngStream &End() { return Chunk("IEND", {}); }
};

// One gray pixel: the smallest image to put around the chunks under test.
inline PngStream GrayPixel() { return PngStream().Header(1, 1, 8, 0); }

inline int Channels(int colorType) {
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    return kChannels[colorType];
}

// The host's row bytes for a row of `columns` pixels.
inline size_t HostRowBytes(const PngImageHeader &header, uint32_t columns) {
    return header.bitDepth == 1 ? (columns + 7) / 8 : size_t(columns) * Channels(header.colorType);
}

// The pixel count of every row the codec delivers, pass after pass.
inline std::vector<uint32_t> RowWidths(const PngImageHeader &header) {
    std::vector<uint32_t> widths;
    if (header.interlaceMethod == 0) return std::vector<uint32_t>(header.height, header.width);
    for (int pass = 0; pass < 7; ++pass)
        if (PNG_PASS_COLS(header.width, pass) != 0)
            widths.insert(widths.end(), PNG_PASS_ROWS(header.height, pass), PNG_PASS_COLS(header.width, pass));
    return widths;
}

// The codec on one open file, as read-start and read-continue drive it. The
// host's palette tables start out filled with 0xEE.
class ReadSession {
public:
    explicit ReadSession(int file) : blocksBefore_(Win32LiveGlobalBlocks()) {
        memset(block.redLookUpTable, 0xEE, 3 * 256);
        block.fileHandle = file;
        state.hostBlock = &block;
    }
    ~ReadSession() {
        ReleaseReadCodec(state);
        EXPECT_EQ(state.codecContext, nullptr);
        EXPECT_EQ(state.codecRecord, nullptr);
        EXPECT_EQ(Win32LiveGlobalBlocks(), blocksBefore_) << "the codec left global memory allocated";
    }

    bool Open() {
        if (!OpenForReading(state)) return false;
        DescribeImage(state, &header);
        return true;
    }
    // Every row into a buffer of exactly the host's row size, followed by
    // guard bytes that must stay untouched; false at the first failing step.
    bool ReadRows() {
        if (!StartImage(state)) return false;
        for (uint32_t width : RowWidths(header)) {
            const size_t size = HostRowBytes(header, width);
            Bytes row(size + 8, 0xA5);
            if (!ReadRow(state, row.data())) return false;
            EXPECT_EQ(Bytes(row.begin() + size, row.end()), Bytes(8, 0xA5)) << "written past the row";
            row.resize(size);
            rows.push_back(row);
        }
        return true;
    }
    bool ReadAll() { return Open() && ReadRows() && ReadEnd(state); }
    PngTextList Texts() const {
        PngTextList texts{};
        GetReadTexts(state, &texts);
        return texts;
    }

    HostFormatBlock block{};
    PluginState state{};
    PngImageHeader header{};
    Rows rows;

private:
    size_t blocksBefore_;
};

#endif
