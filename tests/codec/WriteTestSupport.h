// Saves driven through the codec's write operations on real files, and plain
// libpng and zlib to look at what came out.
#ifndef KORVANE_TESTS_WRITE_TEST_SUPPORT_H
#define KORVANE_TESTS_WRITE_TEST_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "codec/CodecRelease.h"
#include "codec/WriteCodec.h"
#include "win32_layer.h"

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<Bytes>;

// An empty file open for writing, removed at the end.
class WritableFile {
public:
    WritableFile() {
        char pattern[] = "/tmp/korvane-write-XXXXXX";
        descriptor_ = mkstemp(pattern);
        path_ = pattern;
    }
    ~WritableFile() {
        if (descriptor_ >= 0) close(descriptor_);
        unlink(path_.c_str());
    }
    WritableFile(const WritableFile &) = delete;
    WritableFile &operator=(const WritableFile &) = delete;

    int descriptor() const { return descriptor_; }
    const std::string &path() const { return path_; }
    Bytes Contents() const {
        Bytes bytes(static_cast<size_t>(lseek(descriptor_, 0, SEEK_END)));
        if (!bytes.empty() && pread(descriptor_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            bytes.clear();
        return bytes;
    }

private:
    std::string path_;
    int descriptor_ = -1;
};

// The host side of a save as write-start sets it up: a parameter block with
// the file handle, and a state block that points at it.
struct SaveSession {
    HostFormatBlock block{};
    PluginState state{};

    SaveSession(int descriptor, uint32_t compressionLevel) {
        block.fileHandle = descriptor;
        state.hostBlock = &block;
        state.compressionLevel = compressionLevel;
    }
};

// The operations of a save in the order the module calls them; a save stops
// at the first that fails.
enum SaveStep { kStepOpen, kStepHeader, kStepRow, kStepEnd, kStepNone };

struct SaveOutcome {
    SaveStep failed = kStepNone;
    size_t failedRow = 0;
    // File size and global allocations made so far after each operation
    // that succeeded: open, header, every row, end.
    std::vector<off_t> sizes;
    std::vector<unsigned long> allocations;
};

inline SaveOutcome RunSave(SaveSession &session, const PngHeaderPlan &plan, const Rows &rows) {
    SaveOutcome outcome;
    const int file = session.block.fileHandle;
    const unsigned long firstAllocation = Win32GlobalAllocationCount();
    auto step = [&](bool succeeded, SaveStep which) {
        if (!succeeded) {
            outcome.failed = which;
        } else {
            outcome.sizes.push_back(lseek(file, 0, SEEK_CUR));
            outcome.allocations.push_back(Win32GlobalAllocationCount() - firstAllocation);
        }
        return succeeded;
    };
    if (!step(OpenForWriting(session.state), kStepOpen)) return outcome;
    if (!step(WriteHeader(session.state, plan), kStepHeader)) return outcome;
    for (size_t i = 0; i < rows.size(); ++i) {
        outcome.failedRow = i;
        if (!step(WriteRow(session.state, rows[i].data()), kStepRow)) return outcome;
    }
    step(WriteEnd(session.state), kStepEnd);
    return outcome;
}

// A whole save into file, released afterwards; true when every step succeeded.
inline bool SaveToFile(const WritableFile &file, const PngHeaderPlan &plan, const Rows &rows,
                       uint32_t compressionLevel = 9) {
    SaveSession session(file.descriptor(), compressionLevel);
    const SaveOutcome outcome = RunSave(session, plan, rows);
    ReleaseWriteCodec(session.state);
    return outcome.failed == kStepNone;
}

inline PngHeaderPlan PlanFor(uint32_t width, uint32_t height, int bitDepth, int colorType) {
    PngHeaderPlan plan{};
    plan.width = width;
    plan.height = height;
    plan.bitDepth = bitDepth;
    plan.colorType = colorType;
    plan.interlaceMethod = PNG_INTERLACE_NONE;
    plan.filterChoice = 6;
    return plan;
}

inline int Channels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

inline size_t RowBytes(const PngHeaderPlan &plan) {
    return (size_t{plan.width} * Channels(plan.colorType) * plan.bitDepth + 7) / 8;
}

// Reproducible noise: nothing for deflate to find.
inline Rows NoiseRows(const PngHeaderPlan &plan, uint32_t seed = 1) {
    Rows rows(plan.height, Bytes(RowBytes(plan)));
    for (Bytes &row : rows)
        for (uint8_t &byte : row) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<uint8_t>(seed >> 16);
        }
    return rows;
}

// Smooth gradients, which the row filters and deflate's matches work on.
inline Rows SmoothRows(const PngHeaderPlan &plan) {
    Rows rows(plan.height, Bytes(RowBytes(plan)));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            rows[y][x] = static_cast<uint8_t>((x * 3 + y * 5 + x * y / 7) & 0xff);
    return rows;
}

// Adam7: where each pass starts and how far it steps, across and down.
const int kPassStartX[7] = {0, 4, 0, 2, 0, 1, 0};
const int kPassStartY[7] = {0, 0, 4, 0, 2, 0, 1};
const int kPassStepX[7] = {8, 8, 4, 4, 2, 2, 1};
const int kPassStepY[7] = {8, 8, 8, 4, 4, 2, 2};

// The reduced rows of every pass in turn, as the module hands them over; a
// pass with no columns or no rows has none.
inline Rows AdamPassRows(const Rows &image, uint32_t width, int pixelBytes) {
    Rows passRows;
    for (int pass = 0; pass < 7; ++pass) {
        if (kPassStartX[pass] >= static_cast<int>(width)) continue;
        for (size_t y = kPassStartY[pass]; y < image.size(); y += kPassStepY[pass]) {
            Bytes row;
            for (size_t x = kPassStartX[pass]; x < width; x += kPassStepX[pass])
                row.insert(row.end(), image[y].begin() + x * pixelBytes, image[y].begin() + (x + 1) * pixelBytes);
            passRows.push_back(row);
        }
    }
    return passRows;
}

struct Chunk {
    std::string type;
    Bytes data;
};

inline uint32_t BigEndian32(const uint8_t *bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// The chunks after the signature; empty when the file is not a well-formed
// PNG chunk sequence with correct CRCs ending in IEND.
inline std::vector<Chunk> ParseChunks(const Bytes &file) {
    static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    std::vector<Chunk> chunks;
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) return {};
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length = BigEndian32(&file[at]);
        if (length > file.size() - at - 12) return {};
        const uint8_t *typeAndData = &file[at + 4];
        if (crc32(crc32(0, nullptr, 0), typeAndData, length + 4) != BigEndian32(typeAndData + 4 + length)) return {};
        chunks.push_back({std::string(reinterpret_cast<const char *>(typeAndData), 4),
                          Bytes(typeAndData + 4, typeAndData + 4 + length)});
        at += 12 + length;
        if (chunks.back().type == "IEND") return at == file.size() ? chunks : std::vector<Chunk>{};
    }
    return {};
}

inline std::vector<std::string> ChunkTypes(const std::vector<Chunk> &chunks) {
    std::vector<std::string> types;
    for (const Chunk &chunk : chunks) types.push_back(chunk.type);
    return types;
}

inline const Chunk *FindChunk(const std::vector<Chunk> &chunks, const std::string &type) {
    for (const Chunk &chunk : chunks)
        if (chunk.type == type) return &chunk;
    return nullptr;
}

inline Bytes ImageDataStream(const std::vector<Chunk> &chunks) {
    Bytes stream;
    for (const Chunk &chunk : chunks)
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    return stream;
}

// The filtered rows the image data chunks hold; empty when they do not
// inflate to exactly `expected` bytes.
inline Bytes InflateImageData(const std::vector<Chunk> &chunks, size_t expected) {
    Bytes stream = ImageDataStream(chunks);
    Bytes out(expected + 1);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return {};
    z.next_in = stream.data();
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    const size_t produced = out.size() - z.avail_out;
    inflateEnd(&z);
    if (status != Z_STREAM_END || produced != expected) return {};
    out.resize(produced);
    return out;
}

// The image as plain libpng reads it with no transformations asked for.
struct DecodedPng {
    bool ok = false;
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    Rows rows;
    std::vector<png_color> palette;
};

inline void ReadDecoded(png_structp png, png_infop info, DecodedPng *image) {
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    image->width = png_get_image_width(png, info);
    image->height = png_get_image_height(png, info);
    image->bitDepth = png_get_bit_depth(png, info);
    image->colorType = png_get_color_type(png, info);
    image->interlace = png_get_interlace_type(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (uint32_t y = 0; y < image->height; ++y) image->rows.emplace_back(rows[y], rows[y] + rowBytes);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) != 0) image->palette.assign(palette, palette + entries);
    image->ok = true;
}

// No object with a destructor lives in this frame, which libpng's errors
// jump back to.
inline bool DecodeFile(FILE *file, DecodedPng *image) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    ReadDecoded(png, info, image);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

inline DecodedPng DecodePng(const std::string &path) {
    DecodedPng image;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr) return image;
    if (!DecodeFile(file, &image)) image = DecodedPng();
    fclose(file);
    return image;
}

// Checks that a test leaves global memory as it found it, and disarms the
// allocation fault knob whatever the test did with it.
class WriteCodecTest : public ::testing::Test {
protected:
    void SetUp() override {
        Win32FailGlobalAllocation(0);
        liveBlocks_ = Win32LiveGlobalBlocks();
    }
    void TearDown() override {
        Win32FailGlobalAllocation(0);
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBlocks_);
    }

    size_t liveBlocks_ = 0;
};

#endif
