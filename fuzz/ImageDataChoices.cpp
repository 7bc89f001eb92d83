#include "fuzz/ImageDataChoices.h"

#include <zlib.h>

#include <algorithm>

void FillSamples(ImageRows &image, MutationRandom &random, bool large) {
    const uint32_t kind = random.Below(large ? 3 : 5);
    const uint8_t step = static_cast<uint8_t>(1 + random.Below(15)), value = random.Byte();
    for (size_t r = 0; r < image.rows.size(); ++r)
        for (size_t i = 0; i < image.rows[r].raw.size(); ++i) {
            uint8_t &byte = image.rows[r].raw[i];
            switch (kind) {
                case 0: byte = static_cast<uint8_t>(i * step + r * 3); break;
                case 1: byte = value; break;
                case 2: byte = (i + r) % 2 == 0 ? 0 : 255; break;
                case 3: byte = random.Byte(); break;
                default: byte = static_cast<uint8_t>(random.OneIn(4) ? random.Byte() : i * step); break;
            }
        }
}

// One sample at a time in rows packed below 8 bits. Only the depths a
// palette image may have pack whole samples into a byte; under another
// (3, 5, 6, 7, which the mutator makes on purpose) both decoders refuse
// the header, and the samples are left as they are.
void KeepIndicesInPalette(ImageRows &image, const PngHeader &header, uint32_t entries) {
    if (header.colorType != 3 || entries == 0 || header.depth == 0 || 8 % header.depth != 0) return;
    const int depth = header.depth;
    const uint32_t mask = (1u << depth) - 1;
    for (StoredRow &row : image.rows)
        for (size_t bit = 0; bit < row.raw.size() * 8; bit += static_cast<size_t>(depth)) {
            uint8_t &byte = row.raw[bit / 8];
            const int shift = 8 - depth - static_cast<int>(bit % 8);
            const uint32_t index = (byte >> shift) & mask;
            if (index < entries) continue;
            byte = static_cast<uint8_t>((byte & ~(mask << shift)) | ((index % entries) << shift));
        }
}

void PickFilters(ImageRows &image, MutationRandom &random) {
    const uint32_t policy = random.Below(3);
    const auto one = static_cast<uint8_t>(random.Below(5));
    for (StoredRow &row : image.rows) {
        if (policy == 0) row.filter = one;
        if (policy == 1) row.filter = static_cast<uint8_t>(random.Below(5));
    }
    if (random.OneIn(40) && !image.rows.empty())
        image.rows[random.Index(image.rows.size())].filter = static_cast<uint8_t>(5 + random.Below(251));
}

void ChangeSamples(ImageRows &image, MutationRandom &random) {
    if (image.rows.empty()) return;
    for (uint32_t edits = 1 + random.Below(8); edits > 0; --edits) {
        std::vector<uint8_t> &raw = image.rows[random.Index(image.rows.size())].raw;
        if (raw.empty()) continue;
        const uint8_t value = random.OneIn(3) ? random.Byte() : random.OneIn(2) ? 0 : 255;
        if (random.OneIn(4))
            std::fill(raw.begin(), raw.end(), value);
        else
            raw[random.Index(raw.size())] = value;
    }
}

DeflateChoice PickDeflate(MutationRandom &random) {
    static const int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    DeflateChoice choice;
    if (random.OneIn(2)) return choice;
    choice.level = static_cast<int>(random.Below(10));
    choice.strategy = random.Pick(kStrategies);
    choice.windowBits = 9 + static_cast<int>(random.Below(7));
    choice.memLevel = 1 + static_cast<int>(random.Below(9));
    choice.flushEachRow = random.OneIn(3);
    return choice;
}

