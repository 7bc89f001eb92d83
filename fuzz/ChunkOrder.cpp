#include "fuzz/ChunkOrder.h"

#include <algorithm>
#include <initializer_list>

namespace {

size_t Between(MutationRandom &random, size_t low, size_t high) {
    return high <= low ? low : low + random.Index(high - low + 1);
}

bool IsOneOf(const std::string &type, std::initializer_list<const char *> types) {
    for (const char *one : types)
        if (type == one) return true;
    return false;
}

bool IsColourChunk(const std::string &type) { return IsOneOf(type, {"gAMA", "sBIT", "cHRM", "iCCP", "sRGB"}); }
bool RefersToPalette(const std::string &type) { return IsOneOf(type, {"tRNS", "bKGD", "hIST"}); }

// The rank of a chunk before the image data in the order the chunk table
// allows: colour chunks, the rest, the palette, the chunks that refer to it.
int OrderRank(const PngChunk &chunk) {
    if (IsColourChunk(chunk.type)) return 0;
    if (IsType(chunk, "PLTE")) return 2;
    if (RefersToPalette(chunk.type)) return 3;
    return 1;
}

bool IsLetters(const std::string &type) {
    return std::all_of(type.begin(), type.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

// A chunk that has no place in a file, or no second place.
bool Dropped(const PngChunk &chunk, bool sawPalette) {
    if (IsType(chunk, "IHDR") || IsType(chunk, "IEND") || !IsLetters(chunk.type)) return true;
    if (IsType(chunk, "PLTE")) return sawPalette;
    return !IsAncillary(chunk) && !IsType(chunk, "IDAT");
}

}  // namespace

size_t ValidPosition(const ChunkList &chunks, const std::string &type, MutationRandom &random) {
    const size_t header = FindChunk(chunks, "IHDR");
    const size_t first = header == kNoChunk ? 0 : header + 1;
    const size_t palette = FindChunk(chunks, "PLTE");
    size_t imageData = FindChunk(chunks, "IDAT");
    if (imageData == kNoChunk) imageData = std::min(FindChunk(chunks, "IEND"), chunks.size());
    if (type == "PLTE") {
        // After the colour chunks, before those that refer to the palette.
        size_t low = first, high = imageData;
        for (size_t i = first; i < imageData; ++i) {
            if (IsColourChunk(chunks[i].type)) low = i + 1;
            if (RefersToPalette(chunks[i].type)) high = std::min(high, i);
        }
        return Between(random, low, std::max(low, high));
    }
    if (IsColourChunk(type))
        return Between(random, first, palette == kNoChunk ? imageData : palette);
    if (RefersToPalette(type))
        return Between(random, palette == kNoChunk || palette > imageData ? first : palette + 1, imageData);
    if (IsOneOf(type, {"tIME", "tEXt", "zTXt", "iTXt"}) && !random.OneIn(2)) {
        const size_t last = LastChunk(chunks, "IDAT");
        const size_t end = std::min(FindChunk(chunks, "IEND"), chunks.size());
        if (last != kNoChunk && last > imageData && random.OneIn(2)) return Between(random, imageData + 1, last);
        if (last != kNoChunk) return Between(random, last + 1, std::max(end, last + 1));
    }
    return Between(random, first, imageData);
}

size_t InsertPosition(const ChunkList &chunks, const std::string &type, MutationRandom &random) {
    return random.OneIn(12) ? random.Index(chunks.size() + 1) : ValidPosition(chunks, type, random);
}

bool IsAncillary(const PngChunk &chunk) { return (chunk.type[0] & 0x20) != 0; }

void SortIntoTableOrder(ChunkList *chunks) {
    size_t imageData = FindChunk(*chunks, "IDAT");
    if (imageData == kNoChunk) imageData = chunks->size();
    const size_t first = chunks->empty() || !IsType((*chunks)[0], "IHDR") ? 0 : 1;
    std::stable_sort(chunks->begin() + static_cast<ptrdiff_t>(first),
                     chunks->begin() + static_cast<ptrdiff_t>(std::max(first, imageData)),
                     [](const PngChunk &a, const PngChunk &b) { return OrderRank(a) < OrderRank(b); });
}

ChunkList InTableOrder(const ChunkList &chunks, const PngChunk &header) {
    ChunkList ordered = {header};
    bool sawPalette = false;
    for (const PngChunk &chunk : chunks) {
        if (Dropped(chunk, sawPalette)) continue;
        sawPalette |= IsType(chunk, "PLTE");
        ordered.push_back(chunk);
    }
    const auto histogram = [](const PngChunk &chunk) { return IsType(chunk, "hIST"); };
    if (!sawPalette) ordered.erase(std::remove_if(ordered.begin(), ordered.end(), histogram), ordered.end());
    ordered.push_back({"IEND", {}});
    SortIntoTableOrder(&ordered);
    return ordered;
}
