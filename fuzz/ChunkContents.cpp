#include "fuzz/ChunkContents.h"

#include <zlib.h>

#include <algorithm>

namespace {

struct ColourType {
    uint8_t type;
    std::vector<uint8_t> depths;
};
const ColourType kColourTypes[] = {
    {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}},
};

// The keywords of the File Info table, their case changed, longer and
// shorter than the bytes the table compares, and keywords it does not know.
const char *const kKeywords[] = {
    "author", "Caption", "Writer", "ByLine", "Headline", "Instructions", "Title", "Credit", "Source", "Object",
    "City", "Province", "Country", "description", "comment", "AUTHOR", "Author", "Authors", "autho", "CAPTION",
    "Caption Writer", "Cityscape", "Cit", "Provinc", "Descriptio", "Description", "COMMENT", "Comment", "Software",
    "Disclaimer", "Warning", " Title", "Title ", "tItLe", "Creation Time",
};

// Texts are kept up to 255 bytes; a tEXt of a 79-byte keyword and a 255-byte
// text is the longest the codec reads.
const uint32_t kTextLengths[] = {0, 1, 2, 8, 254, 255, 256, 257, 300, 335, 336, 511, 512};

uint32_t Uniform(MutationRandom *random, uint32_t low, uint32_t high) { return low + random->Below(high - low + 1); }

// 1 to 9 most often, then up to 64, up to 300, and a few wide or tall ones.
uint32_t PickSide(MutationRandom *random) {
    const uint32_t kind = random->Below(100);
    if (kind < 70) return Uniform(random, 1, 9);
    if (kind < 90) return Uniform(random, 10, 64);
    if (kind < 98) return Uniform(random, 65, 300);
    return Uniform(random, 1000, 4100);
}

std::string PickKeyword(MutationRandom *random) {
    switch (random->Below(10)) {
        case 0: return std::string(79, 'k');
        case 1: return std::string(random->OneIn(2) ? 80 : 0, 'k');
        case 2: {
            std::string keyword(1 + random->Below(12), 'a');
            for (char &c : keyword) c = static_cast<char>(random->OneIn(8) ? random->Byte() : 'a' + random->Below(26));
            return keyword;
        }
        default: return random->Pick(kKeywords);
    }
}

// Letters, with a zero byte or a byte above 127 now and then.
std::vector<uint8_t> PickText(MutationRandom *random) {
    const uint32_t length = random->OneIn(3) ? random->Below(400) : random->Pick(kTextLengths);
    std::vector<uint8_t> text(length);
    const uint8_t first = static_cast<uint8_t>('a' + random->Below(26));
    for (uint32_t i = 0; i < length; ++i) text[i] = static_cast<uint8_t>(first + i % 26);
    for (uint32_t odd = random->OneIn(4) ? 1 + random->Below(3) : 0; odd > 0 && length > 0; --odd)
        text[random->Below(length)] = random->OneIn(2) ? 0 : random->Byte();
    return text;
}

// tEXt: keyword, zero, text. zTXt: keyword, zero, method, stream (now and
// then another method or a stream cut short). iTXt: keyword, zero,
// compression flag and method, language and translated keyword, text.
std::vector<uint8_t> TextData(const std::string &type, MutationRandom *random) {
    const std::string keyword = PickKeyword(random);
    std::vector<uint8_t> data(keyword.begin(), keyword.end());
    data.push_back(0);
    std::vector<uint8_t> text = PickText(random);
    if (type == "zTXt") {
        data.push_back(random->OneIn(16) ? random->Byte() : 0);
        text = Deflated(text, Z_BEST_SPEED);
        if (random->OneIn(16)) text.resize(text.size() / 2);
    } else if (type == "iTXt") {
        data.insert(data.end(), {0, 0, 'e', 'n', 0, 0});
    }
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

// Pixels per metre whose inch value (times 0.0254) falls just above or
// below a whole number or one half, and values at the edges of 32 bits.
uint32_t PickPixelsPerMetre(MutationRandom *random) {
    static const uint32_t kInches[] = {1, 2, 72, 96, 150, 299, 300, 600, 1200, 2400, 9600, 32766, 32767, 32768, 40000};
    static const double kFractions[] = {0.0, 0.01, 0.25, 0.49, 0.5, 0.51, 0.75, 0.99};
    static const uint32_t kEdges[] = {0, 1, 39, 40, 2834, 2835, 2836, 3780, 11811, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    if (random->OneIn(4)) return random->Pick(kEdges);
    const double inches = (random->OneIn(4) ? Uniform(random, 1, 40000) : random->Pick(kInches)) +
                          random->Pick(kFractions);
    return static_cast<uint32_t>(inches / 0.0254);
}

uint32_t PickGamma(MutationRandom *random) {
    static const uint32_t kGammas[] = {45455, 45454, 100000, 50000, 220000, 1,      2,          10,        65535,
                                       100001, 99999, 0,    31250,  400000, 4545, 0x7FFFFFFF, 0xFFFFFFFF};
    return random->OneIn(5) ? random->Below(1000000) : random->Pick(kGammas);
}

// A sample of the header's depth (a palette index for colour type 3), now
// and then one past it.
uint32_t PickSample(const ChunkContext &context, MutationRandom *random) {
    const uint32_t bound = context.header.colorType == 3 ? std::max<uint32_t>(context.paletteEntries, 1)
                                                         : 1u << std::min<uint32_t>(context.header.depth, 16);
    return random->OneIn(16) ? bound : random->Below(bound);
}

std::vector<uint8_t> Samples(const ChunkContext &context, int count, int bytesEach, MutationRandom *random) {
    std::vector<uint8_t> data;
    for (int i = 0; i < count; ++i) {
        const uint32_t sample = PickSample(context, random);
        if (bytesEach == 2)
            Put16(&data, sample);
        else
            data.push_back(static_cast<uint8_t>(sample));
    }
    return data;
}

bool HasColour(const PngHeader &header) { return header.colorType == 2 || header.colorType == 6; }

std::vector<uint8_t> PaletteData(const ChunkContext &context, MutationRandom *random) {
    const uint32_t most = context.header.colorType == 3 && context.header.depth <= 8 ? 1u << context.header.depth : 256;
    uint32_t entries = random->OneIn(2) ? most : Uniform(random, 1, most);
    if (random->OneIn(32)) entries = 257;
    std::vector<uint8_t> data;
    const uint8_t step = static_cast<uint8_t>(1 + random->Below(40));
    for (uint32_t i = 0; i < entries; ++i)
        data.insert(data.end(), {static_cast<uint8_t>(i * step), static_cast<uint8_t>(255 - i), random->Byte()});
    if (random->OneIn(32)) data.pop_back();
    return data;
}

std::vector<uint8_t> TransparencyData(const ChunkContext &context, MutationRandom *random) {
    switch (context.header.colorType) {
        case 0: return Samples(context, 1, 2, random);
        case 2: return Samples(context, 3, 2, random);
        case 3: {
            const uint32_t entries = std::max<uint32_t>(context.paletteEntries, 1);
            std::vector<uint8_t> alphas(random->OneIn(16) ? entries + 1 : Uniform(random, 1, entries));
            for (uint8_t &alpha : alphas) alpha = random->OneIn(3) ? 0 : random->Byte();
            return alphas;
        }
        default: return Samples(context, random->OneIn(2) ? 1 : 3, 2, random);  // invalid with alpha
    }
}

std::vector<uint8_t> SignificantBitsData(const ChunkContext &context, MutationRandom *random) {
    const PngHeader &header = context.header;
    const int channels = (HasColour(header) || header.colorType == 3 ? 3 : 1) + (header.colorType >= 4 ? 1 : 0);
    const uint32_t most = header.colorType == 3 ? 8 : header.depth;
    std::vector<uint8_t> data(static_cast<size_t>(channels));
    for (uint8_t &bits : data) bits = static_cast<uint8_t>(random->OneIn(16) ? most + 1 : Uniform(random, 1, most));
    return data;
}

std::vector<uint8_t> TimeData(MutationRandom *random) {
    std::vector<uint8_t> data;
    Put16(&data, random->OneIn(4) ? random->Pick({0u, 1u, 1999u, 2000u, 9999u, 65535u}) : Uniform(random, 1990, 2030));
    const bool valid = !random->OneIn(8);
    data.push_back(static_cast<uint8_t>(valid ? Uniform(random, 1, 12) : random->Pick({0u, 13u, 255u})));
    data.push_back(static_cast<uint8_t>(valid ? Uniform(random, 1, 31) : random->Pick({0u, 32u, 255u})));
    data.push_back(static_cast<uint8_t>(random->Below(valid ? 24 : 256)));
    data.push_back(static_cast<uint8_t>(random->Below(valid ? 60 : 256)));
    data.push_back(static_cast<uint8_t>(random->Below(valid ? 61 : 256)));
    return data;
}

std::vector<uint8_t> PhysicalSizeData(MutationRandom *random) {
    std::vector<uint8_t> data;
    const uint32_t x = PickPixelsPerMetre(random);
    Put32(&data, x);
    Put32(&data, random->OneIn(2) ? x : PickPixelsPerMetre(random));
    data.push_back(static_cast<uint8_t>(random->OneIn(4) ? random->Pick({0u, 2u, 255u}) : 1u));
    return data;
}

std::vector<uint8_t> Words(int count, uint32_t (*pick)(MutationRandom *), MutationRandom *random) {
    std::vector<uint8_t> data;
    for (int i = 0; i < count; ++i) Put32(&data, pick(random));
    return data;
}

uint32_t PickChromaticity(MutationRandom *random) {
    static const uint32_t kValues[] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000, 0, 100000, 0x7FFFFFFF};
    return random->OneIn(4) ? random->Below(100000) : random->Pick(kValues);
}

uint32_t PickOffset(MutationRandom *random) {
    return random->OneIn(2) ? random->Below(100) : random->Pick({0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu});
}

std::vector<uint8_t> Bytes(uint32_t count, MutationRandom *random) {
    std::vector<uint8_t> data(count);
    for (uint8_t &byte : data) byte = random->Byte();
    return data;
}

// The size of one field of the chunk's data: a field edit changes that many
// bytes at a multiple of it.
size_t FieldSize(const std::string &type, const ChunkContext &context) {
    if (type == "PLTE") return 3;
    if (type == "gAMA" || type == "cHRM") return 4;
    if (type == "tRNS") return context.header.colorType == 3 ? 1 : 2;
    if (type == "bKGD" || type == "hIST" || type == "tIME") return 2;
    return 1;
}

bool IsText(const std::string &type) { return type == "tEXt" || type == "zTXt" || type == "iTXt"; }

// The keyword changed, the text given another length or bytes, or a zTXt's
// method byte changed.
void EditText(PngChunk *chunk, MutationRandom *random) {
    std::vector<uint8_t> &data = chunk->data;
    const auto zero = std::find(data.begin(), data.end(), 0);
    const std::string keyword(data.begin(), zero);
    std::vector<uint8_t> rest(zero == data.end() ? zero : zero + 1, data.end());
    const std::vector<uint8_t> fresh = TextData(chunk->type, random);
    const auto freshZero = std::find(fresh.begin(), fresh.end(), 0);
    switch (random->Below(4)) {
        case 0: {
            const std::string other = PickKeyword(random);
            data.assign(other.begin(), other.end());
            data.push_back(0);
            data.insert(data.end(), rest.begin(), rest.end());
            return;
        }
        case 1:
            data.assign(keyword.begin(), keyword.end());
            data.insert(data.end(), freshZero, fresh.end());
            return;
        case 2:
            if (!rest.empty()) rest[random->Index(rest.size())] = random->OneIn(2) ? 0 : random->Byte();
            data.assign(keyword.begin(), keyword.end());
            data.push_back(0);
            data.insert(data.end(), rest.begin(), rest.end());
            return;
        default: data = fresh; return;
    }
}

}  // namespace

std::string PickChunkType(MutationRandom *random) {
    static const char *const kTable[] = {"PLTE", "gAMA", "sBIT", "cHRM", "tRNS", "bKGD", "pHYs", "oFFs",
                                         "hIST", "tIME", "tEXt", "zTXt", "tEXt", "pHYs", "gAMA", "tRNS"};
    static const char *const kOthers[] = {"iCCP", "sRGB", "iTXt", "sPLT", "eXIf", "IDAT", "IEND",
                                          "IHDR", "prVt", "vpAg", "CgBI", "XYZW", "sTER", "fdAT"};
    return random->OneIn(6) ? random->Pick(kOthers) : random->Pick(kTable);
}

std::vector<uint8_t> MakeChunkData(const std::string &type, const ChunkContext &context, MutationRandom *random) {
    if (type == "IHDR") return HeaderData(PickValidHeader(random));
    if (type == "PLTE") return PaletteData(context, random);
    if (type == "gAMA") return Words(1, PickGamma, random);
    if (type == "cHRM") return Words(8, PickChromaticity, random);
    if (type == "sBIT") return SignificantBitsData(context, random);
    if (type == "tRNS") return TransparencyData(context, random);
    if (type == "bKGD")
        return context.header.colorType == 3 ? Samples(context, 1, 1, random)
                                             : Samples(context, HasColour(context.header) ? 3 : 1, 2, random);
    if (type == "hIST") return Bytes(2 * std::max<uint32_t>(context.paletteEntries, 1), random);
    if (type == "pHYs") return PhysicalSizeData(random);
    if (type == "oFFs") {
        std::vector<uint8_t> data = Words(2, PickOffset, random);
        data.push_back(static_cast<uint8_t>(random->Below(3)));
        return data;
    }
    if (type == "tIME") return TimeData(random);
    if (IsText(type)) return TextData(type, random);
    if (type == "sRGB") return {static_cast<uint8_t>(random->Below(5))};
    if (type == "iCCP") {
        std::vector<uint8_t> data = {'i', 'c', 'c', 0, 0};
        const std::vector<uint8_t> profile = Deflated(Bytes(random->Below(200), random), Z_BEST_SPEED);
        data.insert(data.end(), profile.begin(), profile.end());
        return data;
    }
    if (type == "IDAT" || type == "IEND") return Bytes(random->OneIn(2) ? 0 : random->Below(16), random);
    return Bytes(random->Below(24), random);
}

void EditChunkData(PngChunk *chunk, const ChunkContext &context, MutationRandom *random) {
    std::vector<uint8_t> &data = chunk->data;
    if (random->OneIn(12)) {
        // A length one off the chunk's own.
        if (random->OneIn(2) && !data.empty())
            data.pop_back();
        else
            data.push_back(random->Byte());
        return;
    }
    if (chunk->type == "IHDR") {
        PngHeader header;
        if (ReadHeader({*chunk}, &header)) EditHeader(&header, random->OneIn(2), random);
        data = HeaderData(header);
        return;
    }
    if (IsText(chunk->type)) return EditText(chunk, random);
    const std::vector<uint8_t> fresh = MakeChunkData(chunk->type, context, random);
    const size_t field = FieldSize(chunk->type, context);
    if (fresh.size() != data.size() || data.size() < field || random->OneIn(4)) {
        data = fresh;
        return;
    }
    const size_t at = random->Index(data.size() / field) * field;
    std::copy(fresh.begin() + static_cast<ptrdiff_t>(at), fresh.begin() + static_cast<ptrdiff_t>(at + field),
              data.begin() + static_cast<ptrdiff_t>(at));
}

PngHeader PickValidHeader(MutationRandom *random) {
    const ColourType &colour = random->Pick(kColourTypes);
    PngHeader header;
    header.colorType = colour.type;
    header.depth = colour.depths[random->Index(colour.depths.size())];
    header.width = PickSide(random);
    header.height = PickSide(random);
    header.interlace = static_cast<uint8_t>(random->Below(2));
    return header;
}

bool IsValidHeader(const PngHeader &header) {
    bool paired = false;
    for (const ColourType &colour : kColourTypes)
        paired |= colour.type == header.colorType &&
                  std::find(colour.depths.begin(), colour.depths.end(), header.depth) != colour.depths.end();
    return paired && header.width >= 1 && header.width <= 32767 && header.height >= 1 && header.height <= 32767 &&
           header.compression == 0 && header.filter == 0 && header.interlace <= 1;
}

void EditHeader(PngHeader *header, bool outside, MutationRandom *random) {
    static const uint32_t kSides[] = {0, 32768, 32769, 65535, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    static const uint8_t kDepths[] = {0, 3, 5, 7, 9, 12, 15, 17, 32, 255};
    static const uint8_t kBadColourTypes[] = {1, 5, 7, 8, 10, 255};
    const PngHeader valid = PickValidHeader(random);
    switch (random->Below(outside ? 7 : 4)) {
        case 0: header->width = outside ? random->Pick(kSides) : random->OneIn(8) ? 32767 : valid.width; break;
        case 1: header->height = outside ? random->Pick(kSides) : random->OneIn(8) ? 32767 : valid.height; break;
        case 2:
            header->colorType = valid.colorType;
            header->depth = outside ? random->Pick(kDepths) : valid.depth;
            break;
        case 3:
            if (outside)
                header->colorType = random->Pick(kBadColourTypes);
            else
                header->interlace = static_cast<uint8_t>(1 - (header->interlace & 1));
            break;
        case 4: header->compression = static_cast<uint8_t>(1 + random->Below(255)); break;
        case 5: header->filter = static_cast<uint8_t>(random->OneIn(2) ? 64 : 1 + random->Below(255)); break;
        default: header->interlace = static_cast<uint8_t>(2 + random->Below(254)); break;
    }
}
