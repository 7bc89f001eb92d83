#include "fuzz/FileKindSeeds.h"

#include <png.h>
#include <zlib.h>

#include "fuzz/PngChunkList.h"
#include "tests/module/PngFiles.h"

const PictureFormat kPictureFormats[15] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

std::string FormatName(const PictureFormat &format, bool interlaced) {
    return std::to_string(format.colorType) + "-" + std::to_string(format.depth) + (interlaced ? "-interlaced" : "");
}

namespace {

ChunkList Encoded(const PngPicture &picture) {
    const std::vector<uint8_t> file = EncodePng(picture);
    return ReadChunkList(file.data(), file.size());
}

// Transparency for a picture made by PatternPicture: a sample, a colour or
// palette alphas that the image holds.
std::vector<uint8_t> TransparencyFor(const PngPicture &picture) {
    const std::vector<uint8_t> &row = picture.rows[0];
    std::vector<uint8_t> data;
    if (picture.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (size_t i = 0; i < picture.palette.size() / 3 && i < 7; ++i) data.push_back(static_cast<uint8_t>(i * 40));
        return data;
    }
    const uint32_t mask = picture.bitDepth >= 8 ? 0xFFFFu : (1u << picture.bitDepth) - 1;
    const int samples = picture.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    for (int i = 0; i < samples; ++i) {
        const uint32_t value = picture.bitDepth == 16 ? uint32_t{row[2 * i]} << 8 | row[2 * i + 1]
                               : picture.bitDepth == 8 ? row[static_cast<size_t>(i)]
                                                    : row[0] >> (8 - picture.bitDepth) & mask;
        Put16(&data, value);
    }
    return data;
}

// Each format, plain and interlaced, with a gAMA of 1/2.2 under no monitor
// gamma, 1.0 and 2.2; those without alpha also with tRNS, under none and 2.2.
void AddFormatSeeds(std::vector<FileSeed> *seeds) {
    for (const PictureFormat &format : kPictureFormats)
        for (const bool interlaced : {false, true}) {
            PngPicture picture = PatternPicture(11, 7, format.colorType, format.depth, interlaced);
            picture.gamma = 1 / 2.2;
            const ChunkList chunks = Encoded(picture);
            const std::string name = "format-" + FormatName(format, interlaced);
            for (const SeedMonitor monitor : {SeedMonitor::None, SeedMonitor::Gamma10, SeedMonitor::Gamma22})
                seeds->push_back({name + "-gamma-monitor" + std::to_string(static_cast<int>(monitor)),
                                  WriteChunkList(chunks), monitor});
            if (format.colorType >= 4) continue;
            ChunkList transparent = chunks;
            InsertAt(transparent, FindChunk(transparent, "IDAT"), {"tRNS", TransparencyFor(picture)});
            for (const SeedMonitor monitor : {SeedMonitor::None, SeedMonitor::Gamma22})
                seeds->push_back({name + "-trns-monitor" + std::to_string(static_cast<int>(monitor)),
                                  WriteChunkList(transparent), monitor});
        }
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> data;
    for (const uint32_t value : values) Put32(&data, value);
    return data;
}

std::vector<uint8_t> TextChunkData(const std::string &keyword, const std::vector<uint8_t> &text) {
    std::vector<uint8_t> data(keyword.begin(), keyword.end());
    data.push_back(0);
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

std::vector<uint8_t> Letters(size_t length, char first = 'a') {
    std::vector<uint8_t> text(length);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<uint8_t>(first + i % 26);
    return text;
}

std::vector<uint8_t> CompressedTextData(const std::string &keyword, const std::vector<uint8_t> &text) {
    std::vector<uint8_t> data(keyword.begin(), keyword.end());
    data.insert(data.end(), {0, 0});
    const std::vector<uint8_t> packed = Deflated(text, Z_BEST_COMPRESSION);
    data.insert(data.end(), packed.begin(), packed.end());
    return data;
}

// A chunk of the type once, and the values of a second one of that type.
struct AncillaryKind {
    const char *type;
    std::vector<uint8_t> data, second;
};

// The ancillary chunks of the table with values valid for a 4-bit indexed
// image of 16 entries; the second of a pair differs from the first, so that
// which of them counts shows.
std::vector<AncillaryKind> AncillaryKinds() {
    return {
        {"gAMA", Words({45455}), Words({100000})},
        {"sBIT", {5, 6, 7}, {2, 2, 2}},
        {"cHRM", Words({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}),
         Words({34570, 35850, 64000, 33000, 21000, 71000, 15000, 6000})},
        {"tRNS", {0, 80, 160, 255, 7}, {255, 0}},
        {"bKGD", {3}, {15}},
        {"pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}, {0, 0, 0x2E, 0x23, 0, 0, 0x0E, 0xC4, 1}},
        {"oFFs", {0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFB, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 1}},
        {"hIST", std::vector<uint8_t>(32, 1), std::vector<uint8_t>(32, 2)},
        {"tIME", {0x07, 0xCC, 3, 5, 12, 30, 0}, {0x03, 0xE7, 12, 31, 23, 59, 60}},
        {"tEXt", TextChunkData("Title", Letters(12)), TextChunkData("title", Letters(7, 'K'))},
        {"zTXt", CompressedTextData("Caption", Letters(40, 'A')), CompressedTextData("Country", Letters(3))},
        {"prVt", {1, 2, 3}, {}},
    };
}

// Each ancillary chunk of the table, once and twice, in each place: before
// PLTE, after it, between the image data chunks and after them, in an
// interlaced indexed image whose image data is two chunks (the second
// empty); opened at a monitor gamma of 2.2, so that a gAMA shows in the
// palette. The table refuses some of them (gAMA, sBIT or cHRM after PLTE,
// hIST before it), which the module must refuse although libspng opens them.
void AddAncillarySeeds(std::vector<FileSeed> *seeds) {
    PngPicture picture = PatternPicture(9, 5, PNG_COLOR_TYPE_PALETTE, 4, true);
    picture.gamma = 1 / 1.8;
    ChunkList base = Encoded(picture);
    InsertAt(base, LastChunk(base, "IDAT") + 1, {"IDAT", {}});
    const char *const kPlaces[] = {"before-plte", "after-plte", "between-idat", "after-idat"};
    for (const AncillaryKind &kind : AncillaryKinds())
        for (int place = 0; place < 4; ++place) {
            const std::string type = kind.type;
            for (const int count : {1, 2}) {
                ChunkList chunks = base;
                const size_t at = place == 0   ? FindChunk(chunks, "PLTE")
                                  : place == 1 ? FindChunk(chunks, "PLTE") + 1
                                  : place == 2 ? FindChunk(chunks, "IDAT") + 1
                                               : LastChunk(chunks, "IDAT") + 1;
                if (count == 2) InsertAt(chunks, at, {type, kind.second});
                InsertAt(chunks, at, {type, kind.data});
                seeds->push_back({"chunk-" + type + "-" + kPlaces[place] + "-x" + std::to_string(count),
                                  WriteChunkList(chunks), SeedMonitor::Gamma22});
            }
        }
    // A text between image data chunks that the rows still need: both
    // decoders must refuse the file.
    ChunkList split = Encoded(PatternPicture(40, 20, PNG_COLOR_TYPE_GRAY, 8, false));
    const std::vector<uint8_t> data = JoinedImageData(split);
    PutImageData(&split, data, 2);
    InsertAt(split, FindChunk(split, "IDAT") + 1, {"tEXt", TextChunkData("Title", Letters(5))});
    seeds->push_back({"chunk-tEXt-splitting-image-data", WriteChunkList(split), SeedMonitor::None});
}

// pHYs in metres, in no unit and in a unit the PNG standard does not know,
// with inch values just above and below a whole number and one half (the
// host takes whole pixels per inch, truncated), at the host's largest
// resolution and past it, and at the ends of 32 bits.
void AddResolutionSeeds(std::vector<FileSeed> *seeds) {
    struct Resolution {
        uint32_t x, y;
        uint8_t unit;
    };
    std::vector<Resolution> resolutions;
    for (const double inches : {72.3, 72.7, 299.3, 299.7, 300.45, 300.55, 32766.7, 32767.3, 40000.6})
        resolutions.push_back({static_cast<uint32_t>(inches / 0.0254), static_cast<uint32_t>((inches + 0.5) / 0.0254),
                               1});
    resolutions.push_back({2835, 11811, 1});
    resolutions.push_back({3780, 3779, 1});
    resolutions.push_back({0, 1, 1});
    resolutions.push_back({0xFFFFFFFF, 0x7FFFFFFF, 1});
    resolutions.push_back({0x80000000, 39, 1});
    resolutions.push_back({11811, 2835, 0});
    resolutions.push_back({2835, 2835, 2});
    for (const Resolution &resolution : resolutions) {
        ChunkList chunks = Encoded(PatternPicture(5, 3, PNG_COLOR_TYPE_GRAY, 8, false));
        std::vector<uint8_t> data = Words({resolution.x, resolution.y});
        data.push_back(resolution.unit);
        InsertAt(chunks, FindChunk(chunks, "IDAT"), {"pHYs", data});
        seeds->push_back({"phys-" + std::to_string(resolution.x) + "-" + std::to_string(resolution.y) + "-unit" +
                              std::to_string(resolution.unit),
                          WriteChunkList(chunks), SeedMonitor::None});
    }
}

// Texts at the lengths the module keeps and cuts (255 and 256 bytes, none),
// plain and compressed; keywords of 79 and 80 bytes, and cut to the bytes
// the File Info table compares and one fewer; a zero byte in a text;
// a tEXt without its zero byte; and File Info blocks whose datasets fill the
// 493 bytes after the block's fixed 19, or the 480 before a date, exactly
// and by one byte more.
void AddTextSeeds(std::vector<FileSeed> *seeds) {
    struct TextSet {
        std::string name;
        std::vector<PngChunk> chunks;
    };
    std::vector<TextSet> sets;
    for (const size_t length : {0, 1, 254, 255, 256}) {
        sets.push_back({"text-" + std::to_string(length), {{"tEXt", TextChunkData("Caption", Letters(length))}}});
        sets.push_back({"ztxt-" + std::to_string(length),
                        {{"zTXt", CompressedTextData("Headline", Letters(length, 'A'))}}});
    }
    sets.push_back({"keyword-79", {{"tEXt", TextChunkData("Title" + std::string(74, 'x'), Letters(9))}}});
    sets.push_back({"keyword-80", {{"tEXt", TextChunkData("Title" + std::string(75, 'x'), Letters(9))}}});
    std::vector<uint8_t> zeroed = Letters(20);
    zeroed[7] = 0;
    sets.push_back({"text-with-zero", {{"tEXt", TextChunkData("Author", zeroed)}}});
    sets.push_back({"text-without-zero", {{"tEXt", Letters(30)}}});
    const std::vector<uint8_t> date = {0x07, 0xE8, 2, 29, 0, 0, 0};
    for (const size_t second : {228, 229})
        sets.push_back({"fileinfo-493-" + std::to_string(second),
                        {{"tEXt", TextChunkData("Caption", Letters(255))},
                         {"tEXt", TextChunkData("City", Letters(second))}}});
    for (const size_t second : {215, 216})
        sets.push_back({"fileinfo-480-dated-" + std::to_string(second),
                        {{"tIME", date},
                         {"tEXt", TextChunkData("Caption", Letters(255))},
                         {"zTXt", CompressedTextData("Source", Letters(second))}}});
    // Each keyword of the File Info table cut to the bytes the table compares
    // (which still match) and to one byte fewer (which does not).
    TextSet cut{"keywords-at-compared-length", {}};
    for (const char *keyword : {"autho", "Caption", "Writer", "ByLine", "Headline", "Instructions", "Title", "Credit",
                                "Source", "Object", "City", "Province", "Country", "descriptio", "comment"}) {
        const std::string exact = keyword;
        cut.chunks.push_back({"tEXt", TextChunkData(exact, Letters(4))});
        cut.chunks.push_back({"tEXt", TextChunkData(exact.substr(0, exact.size() - 1), Letters(3, 'K'))});
    }
    sets.push_back(cut);
    for (const TextSet &set : sets) {
        ChunkList chunks = Encoded(PatternPicture(4, 4, PNG_COLOR_TYPE_RGB, 8, false));
        for (const PngChunk &chunk : set.chunks)
            InsertAt(chunks, FindChunk(chunks, "IDAT"), chunk);
        seeds->push_back({set.name, WriteChunkList(chunks), SeedMonitor::None});
    }
}

// Interlaced images of every size from 1 by 1 to 9 by 9, where passes run
// empty or hold one pixel, in 1-bit and 8-bit gray, 16-bit RGB, RGBA and
// 4-bit indexed colour.
void AddSmallInterlacedSeeds(std::vector<FileSeed> *seeds) {
    const PictureFormat kSmall[] = {{0, 1}, {0, 8}, {2, 16}, {6, 8}, {3, 4}};
    for (const PictureFormat &format : kSmall)
        for (uint32_t width = 1; width <= 9; ++width)
            for (uint32_t height = 1; height <= 9; ++height)
                seeds->push_back({"small-" + FormatName(format, true) + "-" + std::to_string(width) + "x" +
                                      std::to_string(height),
                                  EncodePng(PatternPicture(width, height, format.colorType, format.depth, true)),
                                  SeedMonitor::None});
}

// Noise, which compresses to little more than itself.
PngPicture NoisePicture(uint32_t width, uint32_t height, int colorType, bool interlaced) {
    PngPicture picture = PatternPicture(1, 1, colorType, 8, interlaced);
    picture.width = width;
    picture.height = height;
    uint32_t state = 12345;
    picture.rows.assign(height, std::vector<uint8_t>(StoredRowBytes(picture)));
    for (std::vector<uint8_t> &row : picture.rows)
        for (uint8_t &byte : row) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<uint8_t>(state >> 23);
        }
    return picture;
}

// Image data in thousands of chunks, in a file the fuzzer's 64 KiB inputs
// hold: one byte a chunk, and with empty chunks among them.
void AddManyImageDataSeeds(std::vector<FileSeed> *seeds) {
    for (const bool interlaced : {false, true}) {
        ChunkList chunks = Encoded(NoisePicture(48, 48, PNG_COLOR_TYPE_GRAY, interlaced));
        const std::vector<uint8_t> data = JoinedImageData(chunks);
        PutImageData(&chunks, data, data.size());
        seeds->push_back({std::string("idat-") + std::to_string(data.size()) + (interlaced ? "-interlaced" : ""),
                          WriteChunkList(chunks), interlaced ? SeedMonitor::Gamma22 : SeedMonitor::None});
        PutImageData(&chunks, data, data.size() + data.size() / 2);
        seeds->push_back({std::string("idat-with-empty-ones") + (interlaced ? "-interlaced" : ""),
                          WriteChunkList(chunks), SeedMonitor::None});
    }
}

}  // namespace

std::vector<FileSeed> FileKindSeeds() {
    std::vector<FileSeed> seeds;
    AddFormatSeeds(&seeds);
    AddAncillarySeeds(&seeds);
    AddResolutionSeeds(&seeds);
    AddTextSeeds(&seeds);
    AddSmallInterlacedSeeds(&seeds);
    AddManyImageDataSeeds(&seeds);
    return seeds;
}

std::vector<uint8_t> LargeLibpngFile() { return EncodePng(NoisePicture(1700, 1700, PNG_COLOR_TYPE_RGB, false)); }
