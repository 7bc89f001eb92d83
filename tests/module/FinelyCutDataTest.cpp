// Valid files whose image data an encoder cut as finely as it may: zlib
// level 0 flushed twice a row, and IDAT chunks of one byte. They open with
// every row, the host's pixels equal to pngtopam's, however the data is cut.
#include <gtest/gtest.h>
#include <zlib.h>

#include "NetpbmImages.h"
#include "PnghostRun.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct CutFile {
    const char *name;
    uint32_t width, height;
    int depth, colorType, channels;
    uint32_t idatBytes;  // the data of each IDAT chunk at most; 0 for one chunk
};

const CutFile kFiles[] = {
    {"1-bit, flushed twice a row", 1, 2000, 1, 0, 1, 0},
    {"gray, 1-byte IDAT chunks", 1, 500, 8, 0, 1, 1},
    {"RGBA-16, 1-byte IDAT chunks", 1, 500, 16, 6, 4, 1},
};

void Append(Bytes *to, const Bytes &bytes) { to->insert(to->end(), bytes.begin(), bytes.end()); }

Bytes BigEndian(uint32_t value) {
    return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

void AppendChunk(Bytes *png, const char *type, const Bytes &data) {
    Append(png, BigEndian(uint32_t(data.size())));
    Bytes typed(type, type + 4);
    Append(&typed, data);
    Append(png, typed);
    Append(png, BigEndian(uint32_t(crc32(0, typed.data(), uInt(typed.size())))));
}

// Filter byte 0 and varied samples; a 16-bit sample's two bytes are equal,
// so that its high byte is what scaling to 8 bits gives.
std::vector<Bytes> Rows(const CutFile &file) {
    const size_t bytes = (size_t(file.width) * file.depth * file.channels + 7) / 8;
    std::vector<Bytes> rows;
    uint32_t seed = 11;
    for (uint32_t y = 0; y < file.height; ++y) {
        Bytes row(1 + bytes, 0);
        for (size_t i = 1; i < row.size(); ++i) {
            const bool lowByte = file.depth == 16 && i % 2 == 0;
            row[i] = lowByte ? row[i - 1] : uint8_t((seed = seed * 1103515245 + 12345) >> 16);
        }
        rows.push_back(row);
    }
    return rows;
}

// Each row in two pieces, each flushed: at level 0 every flush closes a
// stored block and adds an empty one.
Bytes FlushedTwiceARow(const std::vector<Bytes> &rows) {
    z_stream stream{};
    deflateInit(&stream, 0);
    Bytes out;
    auto feed = [&](const uint8_t *bytes, size_t count, int flush) {
        Bytes piece(count + 64);
        stream.next_in = const_cast<Bytef *>(bytes);
        stream.avail_in = uInt(count);
        stream.next_out = piece.data();
        stream.avail_out = uInt(piece.size());
        deflate(&stream, flush);
        out.insert(out.end(), piece.begin(), piece.end() - stream.avail_out);
    };
    for (const Bytes &row : rows) {
        const size_t half = row.size() / 2;
        feed(row.data(), half, Z_SYNC_FLUSH);
        feed(row.data() + half, row.size() - half, Z_SYNC_FLUSH);
    }
    feed(nullptr, 0, Z_FINISH);
    deflateEnd(&stream);
    return out;
}

Bytes MakePng(const CutFile &file) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header = BigEndian(file.width);
    Append(&header, BigEndian(file.height));
    Append(&header, {uint8_t(file.depth), uint8_t(file.colorType), 0, 0, 0});
    AppendChunk(&png, "IHDR", header);
    const Bytes data = FlushedTwiceARow(Rows(file));
    const size_t cut = file.idatBytes == 0 ? data.size() : file.idatBytes;
    for (size_t at = 0; at < data.size(); at += cut)
        AppendChunk(&png, "IDAT", Bytes(data.begin() + at, data.begin() + std::min(data.size(), at + cut)));
    AppendChunk(&png, "IEND", {});
    return png;
}

}  // namespace

TEST(FinelyCutData, OpensWithThePixelsPngtopamReads) {
    for (const CutFile &file : kFiles) {
        SCOPED_TRACE(file.name);
        TempFolder folder;
        const std::string png = folder.Path("cut.png");
        const Bytes bytes = MakePng(file);
        WriteText(png, std::string(bytes.begin(), bytes.end()));
        const CommandRun run = Pnghost("open " + png + " --out " + folder.Path("ours.pam"));
        ASSERT_EQ(run.status, 0) << run.err;
        const CommandRun ours = RunShell("pamtopam < " + folder.Path("ours.pam") + " | od -An -tx1");
        const std::string withAlpha = file.colorType & 4 ? " -alphapam " : " ";
        const std::string to8Bits = file.depth == 16 ? " | pamdepth 255" : "";
        const CommandRun theirs =
            RunShell("pngtopam" + withAlpha + png + to8Bits + " | pamtopam | od -An -tx1");
        ASSERT_EQ(theirs.status, 0) << theirs.err;
        EXPECT_TRUE(ours.out == theirs.out) << "the pixels differ from pngtopam's";
    }
}
