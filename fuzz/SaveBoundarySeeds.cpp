#include "fuzz/SaveBoundarySeeds.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/PngChunkList.h"

namespace {

using Bytes = std::vector<uint8_t>;

const uint8_t kModeBitmap = 0, kModeGray = 1, kModeRgb = 4;
const uint8_t kOptionFileInfo = 4;
// Resolution kinds: none, the 16.16 values as they are, or within 9600
// pixels per inch.
const uint8_t kResolutionNone = 0, kResolutionRaw = 1, kResolutionWithin = 2;
const uint8_t kMonitorGamma22 = 1;

struct SaveSize {
    uint8_t columns, rows;
};

// An image of the mode (no palette: modes other than indexed), 7 by 5
// unless said, under a monitor of gamma 2.2 unless said, then its File Info
// datasets, then samples.
Bytes SaveInput(uint8_t mode, uint8_t options, uint8_t resolutionKind, uint32_t x, uint32_t y, const Bytes &fileInfo,
                SaveSize size = {7, 5}, const Bytes &monitor = {kMonitorGamma22}) {
    Bytes input = {mode, options, 0, static_cast<uint8_t>(size.columns - 1), 0, static_cast<uint8_t>(size.rows - 1),
                   0, resolutionKind};
    Put32(&input, x);
    Put32(&input, y);
    input.insert(input.end(), monitor.begin(), monitor.end());
    input.insert(input.end(), fileInfo.begin(), fileInfo.end());
    for (int i = 0; i < 120; ++i) input.push_back(static_cast<uint8_t>(i * 29 + 3));
    return input;
}

// The dataset kinds of the save target: an index into its table of numbers
// (40, 80, 85, 90, 95, 101, 105, 110, 115, 120, 122, 55, 0, 5, 7, 200);
// from 0xF0 on a dataset of record 3.
const uint8_t kCaption = 9, kDate = 11, kRecordThree = 0xF9;

Bytes DatasetInput(uint8_t kind, const std::string &text) {
    const size_t length = text.size();
    // Two length bytes: up to 511 as low byte and bit 0 of the high byte,
    // longer ones with the high bit set.
    // Sized once and filled: growing a three-byte vector by the text makes
    // GCC 12 at -O3 warn of a copy out of bounds that cannot happen.
    Bytes bytes(3 + length);
    bytes[0] = kind;
    bytes[1] = static_cast<uint8_t>(length);
    bytes[2] = static_cast<uint8_t>(length > 511 ? 0x80 | length >> 8 : length >> 8);
    std::copy(text.begin(), text.end(), bytes.begin() + 3);
    return bytes;
}

Bytes FileInfoInput(uint8_t layout, const std::vector<Bytes> &datasets) {
    Bytes bytes = {layout, static_cast<uint8_t>(datasets.size())};
    for (const Bytes &dataset : datasets) bytes.insert(bytes.end(), dataset.begin(), dataset.end());
    return bytes;
}

std::string Letters(size_t length) {
    std::string text(length, 'a');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

// Each side of a rounding to whole pixels per metre (near 72, 300 and 9599
// pixels per inch), the smallest and largest values, negative ones, a
// vertical resolution of 0, and none.
void AddResolutionSeeds(std::vector<Seed> *seeds) {
    struct Resolution {
        const char *name;
        uint8_t kind;
        uint32_t x, y;
    };
    static const Resolution kResolutions[] = {
        {"none", kResolutionNone, 0, 0},
        {"72-rounds-down-up", kResolutionRaw, 4650029, 4650030},
        {"300-rounds-down-up", kResolutionRaw, 19591379, 19591380},
        {"9599-rounds-down-up", kResolutionWithin, 629010708, 629010710},
        {"largest-within", kResolutionWithin, (9600u << 16) - 1, (9600u << 16) - 1},
        {"smallest", kResolutionRaw, 1, 1},
        {"largest-raw", kResolutionRaw, 0x7FFFFFFF, 0x7FFFFFFE},
        {"negative", kResolutionRaw, 0x80000000, 0xFFFFFFFF},
        {"vertical-0", kResolutionRaw, 72u << 16, 0},
        {"whole-72", kResolutionRaw, 72u << 16, 72u << 16},
    };
    for (const Resolution &resolution : kResolutions)
        seeds->push_back({std::string("resolution-") + resolution.name,
                          SaveInput(kModeGray, 0, resolution.kind, resolution.x, resolution.y, {})});
}

// Dates as digits, out of range, signed and spaced, with letters, short,
// long and empty; two dates in one block, one in each of two blocks, and
// one in the first of two blocks only, which the second leaves set.
void AddDateSeeds(std::vector<Seed> *seeds) {
    static const char *const kDates[] = {
        "19960305", "00000000", "99991231", "20240229", "19961305", "19960300", "19960332", "19960001",
        "1996+3\t5", " 1996 3 5", "-9960305", "1996MM05", "1996", "1996030", "", "65536123", "199603051234",
        "+001+1+1",
    };
    int index = 0;
    for (const char *date : kDates)
        seeds->push_back({"date-" + std::to_string(index++),
                          SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                    FileInfoInput(0, {DatasetInput(kCaption, "dated"), DatasetInput(kDate, date)}))});
    const std::vector<Bytes> twoDates = {DatasetInput(kDate, "19960305"), DatasetInput(kCaption, "x"),
                                         DatasetInput(kDate, "20010911"), DatasetInput(kDate, "20011301")};
    seeds->push_back({"date-twice", SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                              FileInfoInput(0, twoDates))});
    seeds->push_back({"date-in-two-blocks", SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                                      FileInfoInput(4, twoDates))});
    const std::vector<Bytes> dateFirst = {DatasetInput(kDate, "19960305"), DatasetInput(kCaption, "x"),
                                          DatasetInput(kCaption, "y"), DatasetInput(kCaption, "z")};
    seeds->push_back({"date-in-first-block-only", SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                                            FileInfoInput(4, dateFirst))});
}

// Every dataset kind at 0, 1, 255 and 256 bytes; long captions; the text
// list's limit of 19 with and without the "Software" entry of the host
// signature 8BIM; a dataset of record 3 among them.
void AddDatasetSeeds(std::vector<Seed> *seeds) {
    for (uint8_t kind = 0; kind < 16; ++kind)
        for (const size_t length : {0, 1, 255, 256})
            seeds->push_back({"dataset-" + std::to_string(kind) + "-" + std::to_string(length),
                              SaveInput(kModeGray, kOptionFileInfo, kResolutionNone, 0, 0,
                                        FileInfoInput(0, {DatasetInput(kind, Letters(length))}))});
    for (const size_t length : {511, 512, 32767})
        seeds->push_back({"dataset-caption-" + std::to_string(length),
                          SaveInput(kModeGray, kOptionFileInfo, kResolutionNone, 0, 0,
                                    FileInfoInput(1, {DatasetInput(kCaption, Letters(length))}))});
    for (const int count : {18, 19, 20, 23})
        for (const uint8_t layout : {0, 0x18}) {
            std::vector<Bytes> datasets;
            for (int i = 0; i < count; ++i) datasets.push_back(DatasetInput(static_cast<uint8_t>(i % 11), Letters(3)));
            datasets.push_back(DatasetInput(kDate, "19960305"));
            seeds->push_back({"datasets-" + std::to_string(count) + (layout != 0 ? "-other-host" : ""),
                              SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                        FileInfoInput(layout, datasets))});
        }
    seeds->push_back({"dataset-record-3-between",
                      SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0,
                                FileInfoInput(2, {DatasetInput(kCaption, "kept"), DatasetInput(kRecordThree, "stop"),
                                                  DatasetInput(kCaption, "never")}))});
}

// Images of one row, one column and a few pixels under every Filtering
// entry (libpng drops the filters that need a row above or a pixel to the
// left), plain and interlaced, and bitmaps of those sizes interlaced.
void AddSizeSeeds(std::vector<Seed> *seeds) {
    const SaveSize kSizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {3, 2}, {8, 1}, {17, 3}};
    for (const SaveSize size : kSizes) {
        const std::string name = std::to_string(size.columns) + "x" + std::to_string(size.rows);
        for (const uint8_t mode : {kModeGray, kModeRgb})
            for (uint8_t filter = 0; filter < 6; ++filter)
                seeds->push_back({"size-" + name + "-mode" + std::to_string(mode) + "-filter" + std::to_string(filter),
                                  SaveInput(mode, static_cast<uint8_t>(filter << 3 | (filter & 1)), kResolutionNone, 0,
                                            0, {}, size)});
        seeds->push_back({"size-" + name + "-bitmap-interlaced",
                          SaveInput(kModeBitmap, 1, kResolutionNone, 0, 0, {}, size)});
    }
}

// Monitors at the edges of what a host may give: gammas tiny, huge and
// negative (the monitor byte's bit 3, then the value); chromaticities below
// 0 and above 1, with x + y past 1, coinciding, on a line, and a white point
// of y 0 (bit 4, then the eight values).
void AddMonitorSeeds(std::vector<Seed> *seeds) {
    for (const uint32_t gamma : {0x1u, 0x10u, 0x200u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        Bytes monitor = {kMonitorGamma22 | 8};
        Put32(&monitor, gamma);
        seeds->push_back({"monitor-gamma-" + std::to_string(gamma),
                          SaveInput(kModeRgb, 0, kResolutionNone, 0, 0, {}, {7, 5}, monitor)});
    }
    static const double kSets[][8] = {
        {-0.1, 0.329, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06},        {0.3127, 1.5, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06},
        {0.3127, 0.329, 0.8, 0.5, 0.30, 0.60, 0.15, 0.06},        {0.3127, 0.329, 0.3127, 0.329, 0.3127, 0.329, 0.3127, 0.329},
        {0.3127, 0.329, 0.6, 0.3, 0.4, 0.3, 0.2, 0.3},            {0.3127, 0, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06},
        {1, 0, 0, 1, 0, 0, 1, 0},                                 {0.3457, 0.3585, 0.7347, 0.2653, 0.1596, 0.8404, 0.0366, 0.0001},
    };
    int index = 0;
    for (const auto &set : kSets) {
        Bytes monitor = {kMonitorGamma22 | 16};
        for (const double value : set) Put32(&monitor, static_cast<uint32_t>(static_cast<int32_t>(value * 65536.0)));
        seeds->push_back({"monitor-chromaticities-" + std::to_string(index++),
                          SaveInput(kModeRgb, 0, kResolutionNone, 0, 0, {}, {7, 5}, monitor)});
    }
}

// Every dataset the save turns into a text, and the date, behind resources
// named with 1 to 3 letters (a pad byte after the names of even length) and
// other resources' data of odd length.
void AddResourceSeeds(std::vector<Seed> *seeds) {
    std::vector<Bytes> every;
    for (uint8_t kind = 0; kind < 11; ++kind) every.push_back(DatasetInput(kind, Letters(1 + kind)));
    every.push_back(DatasetInput(kDate, "19960305"));
    for (const uint8_t layout : {0x23, 0x43, 0x63, 0xA3, 0xC7, 0xE3})
        seeds->push_back({"resources-" + std::to_string(layout),
                          SaveInput(kModeRgb, kOptionFileInfo, kResolutionNone, 0, 0, FileInfoInput(layout, every))});
}

}  // namespace

std::vector<Seed> SaveBoundarySeeds() {
    std::vector<Seed> seeds;
    AddMonitorSeeds(&seeds);
    AddResourceSeeds(&seeds);
    AddSizeSeeds(&seeds);
    AddResolutionSeeds(&seeds);
    AddDateSeeds(&seeds);
    AddDatasetSeeds(&seeds);
    return seeds;
}
