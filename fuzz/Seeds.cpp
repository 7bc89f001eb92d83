#include "fuzz/Seeds.h"

#include <png.h>

#include <algorithm>

#include "fuzz/FileKindSeeds.h"
#include "fuzz/SaveBoundarySeeds.h"
#include "fuzz/TextListInput.h"
#include "tests/fileinfo/FileInfoBytes.h"
#include "tests/module/PngFiles.h"
#include "tests/module/TempFile.h"

namespace {

// The open targets' control bytes before the file: the target's own, then
// the host's answers (none unless given).
// Sized once and filled: growing a short vector by the file's bytes makes
// GCC 12 at -O3 warn of a copy out of bounds that cannot happen.
std::vector<uint8_t> WithControl(uint8_t control, const std::vector<uint8_t> &file, uint8_t hostAnswer = 0) {
    std::vector<uint8_t> bytes(file.size() + 2);
    bytes[0] = control;
    bytes[1] = hostAnswer;
    std::copy(file.begin(), file.end(), bytes.begin() + 2);
    return bytes;
}

// The host's answers the answered seeds carry (kind | place << 3,
// fuzz/HostAnswers.h): the person stopping at the third and the eighth
// pass row; advance-state failing at rows 3, 0 and 12 (codes -32768,
// -4242 and -4242); the row buffer
// refused; its lock without an address; the File Info handle refused; the
// system's memory refused at its 2nd, 6th, 11th and 21st request; the
// buffer suite missing; the host's file failing (nothing, a quarter,
// eleven sixteenths or all but the last byte of a save written); the host's own steps (a small
// window at the screen's top left; the about box over a window across the
// screen; the about box and selector 0x7FFF with a window half off the
// screen; selector -1 alone); no progress callback; no abort test.
const uint8_t kHostAnswers[] = {0x11, 0x39, 0x1A, 0x02, 0x62, 0x03, 0x04, 0x05, 0x0E, 0x2E, 0x56,
                                0xA6, 0x07, 0x08, 0x48, 0xB8, 0xF8, 0x10, 0x60, 0xF0, 0x80, 0x7F, 0x87};

// The system's memory refused at each of the first 32 requests (or at a
// 32nd part of them each, in a run of more).
const uint8_t kMemoryRefused = 6;

// Each seed again under each of the answers, set at byte `at`.
std::vector<Seed> Answered(const std::vector<Seed> &seeds, size_t at,
                           const std::vector<uint8_t> &answers = {std::begin(kHostAnswers), std::end(kHostAnswers)}) {
    std::vector<Seed> answered;
    for (const Seed &seed : seeds)
        for (const uint8_t answer : answers) {
            Seed copy = seed;
            copy.bytes[at] = answer;
            copy.name += "-answer-" + std::to_string(answer);
            answered.push_back(std::move(copy));
        }
    return answered;
}

// Every suite offered in each broken way.
const uint8_t kSuiteBroken = 7;

std::vector<uint8_t> EveryPlace(uint8_t kind, int places) {
    std::vector<uint8_t> answers;
    for (int place = 0; place < places; ++place) answers.push_back(static_cast<uint8_t>(kind | place << 3));
    return answers;
}

std::vector<uint8_t> EveryMemoryRefusal() { return EveryPlace(kMemoryRefused, 32); }
std::vector<uint8_t> EverySuiteBroken() { return EveryPlace(kSuiteBroken, 15); }

// Pictures with every chunk the module reads for itself or takes from libpng,
// as files.
std::vector<Seed> MadeFiles() {
    std::vector<Seed> seeds;
    PngPicture texts = PatternPicture(7, 5, PNG_COLOR_TYPE_RGB, 8, false);
    texts.texts = {{"Title", "Harbour"}, {"Caption", "a boat"}, {"Author", "Ann"}, {"City", "Rome"}};
    texts.hasTime = true;
    texts.year = 1996;
    texts.month = 3;
    texts.day = 5;
    texts.gamma = 0.45;
    texts.hasPhysicalSize = true;
    texts.pixelsPerUnitX = texts.pixelsPerUnitY = 2835;
    seeds.push_back({"texts", EncodePng(texts)});
    PngPicture indexed = PatternPicture(9, 9, PNG_COLOR_TYPE_PALETTE, 4, true);
    indexed.gamma = 1.0;
    seeds.push_back({"indexed-interlaced", EncodePng(indexed)});
    seeds.push_back({"bits-interlaced", EncodePng(PatternPicture(13, 7, PNG_COLOR_TYPE_GRAY, 1, true))});
    seeds.push_back({"rgba16", EncodePng(PatternPicture(3, 4, PNG_COLOR_TYPE_RGB_ALPHA, 16, false))});
    return seeds;
}

// The open target's control bytes, one per made picture.
const uint8_t kMadeFileControls[] = {4, 2, 9, 3};

std::vector<Seed> MadePictures() {
    std::vector<Seed> seeds = MadeFiles();
    for (size_t i = 0; i < seeds.size(); ++i) seeds[i].bytes = WithControl(kMadeFileControls[i], seeds[i].bytes);
    return seeds;
}

// The save target's monitor byte: a gamma by the filter entry (none, 2.2,
// 1.0, one no gAMA carries, 1.8, 2.5) and the chromaticities by the mode
// (none, sRGB, the wide-gamut primaries with green at 0.21, 0.71, sRGB with
// a D50 white).
uint8_t SaveMonitor(uint8_t mode, uint8_t filter) { return static_cast<uint8_t>(filter | (mode % 4) << 6); }

// The File Info of the captions seeds, laid out in the resources by the
// mode: alone, between other resources, in two blocks, under another host
// signature.
const uint8_t kCaptionLayouts[6] = {0, 3, 4, 7, 0x18, 0x1F};

// Every save the dialog offers (Best Speed with the Average filter), on a
// small image whose samples run through many values, with captions in some
// and an odd size that leaves passes short; and a save of each mode without
// the dialog after an interlaced open.
std::vector<Seed> SaveSeeds() {
    static const char *const kModeNames[6] = {"bitmap", "gray", "graya", "indexed", "rgb", "rgba"};
    std::vector<Seed> seeds;
    for (uint8_t mode = 0; mode < 6; ++mode)
        for (uint8_t interlace = 0; interlace < 2; ++interlace)
            for (uint8_t filter = 0; filter < 6; ++filter) {
                const bool captions = filter == 5;
                const auto options =
                    static_cast<uint8_t>(interlace | (filter == 3 ? 2 : 0) | (captions ? 4 : 0) | filter << 3);
                std::vector<uint8_t> bytes = {mode, options, 0,  13, 0, 11, 200, 1, 0,
                                              72,   0,       0,  0,  72, 0, 0,  SaveMonitor(mode, filter)};
                // The interlaced ones give their date with a sign and white
                // space, as a person might type it.
                const std::string date = interlace ? "1996+3\t5" : "19960305";
                if (captions) {
                    bytes.insert(bytes.end(), {kCaptionLayouts[mode], 4, 9, 6, 0, 'a', ' ', 'b', 'o', 'a', 't', 0, 3,
                                               0, 'A', 0, 'n', 11, 8, 0});
                    bytes.insert(bytes.end(), date.begin(), date.end());
                    bytes.insert(bytes.end(), {12, 2, 0, 'x', 'y'});
                }
                for (int i = 0; i < 800; ++i) bytes.push_back(static_cast<uint8_t>(i * 37 + (i >> 3)));
                seeds.push_back({std::string(kModeNames[mode]) + (interlace ? "-interlaced" : "") + "-filter" +
                                     std::to_string(filter),
                                 bytes});
            }
    for (uint8_t mode = 0; mode < 6; ++mode) {
        std::vector<uint8_t> bytes = {mode, 64, 0, 21, 0, 17, 15, 0, 0, 0, 0, 0, 0};
        for (int i = 0; i < 1000; ++i) bytes.push_back(static_cast<uint8_t>(i * i + i / 5));
        seeds.push_back({std::string(kModeNames[mode]) + "-without-options", bytes});
    }
    return seeds;
}

// Host images at the edges of what the host gives: more planes than the
// colour type carries, modes and depths the module refuses, large images,
// a caption of 32767 bytes and a dataset of another record.
std::vector<Seed> EdgeSaveSeeds() {
    const std::vector<uint8_t> small = {0, 9, 0, 7, 200, 1, 0, 72, 0, 0, 0, 72, 0, 0, 0x41};
    std::vector<Seed> seeds;
    for (const uint8_t mode : {17, 28, 29, 0xE1, 0xE2, 0xE7}) {
        std::vector<uint8_t> bytes = {mode, 5 << 3};
        bytes.insert(bytes.end(), small.begin(), small.end());
        for (int i = 0; i < 300; ++i) bytes.push_back(static_cast<uint8_t>(i * 11));
        seeds.push_back({"mode-" + std::to_string(mode), bytes});
    }
    std::vector<uint8_t> large = {5, 128 | 2 << 3, 0x04, 0x00, 0x04, 0x00, 1, 1, 0, 72, 0, 0, 0, 72, 0, 0, 0x41};
    for (int i = 0; i < 997; ++i) large.push_back(static_cast<uint8_t>(i * 3));
    seeds.push_back({"large-rgba-1025", large});
    // The largest the input allows: 2100 square, 17.6 MB in the host.
    large[2] = large[4] = 0x08;
    large[3] = large[5] = 0x33;
    seeds.push_back({"large-rgba-2100", large});
    std::vector<uint8_t> longCaption = {4, 4 | 1 << 3};
    longCaption.insert(longCaption.end(), small.begin(), small.end());
    longCaption.insert(longCaption.end(), {2, 2, 9, 0xFF, 0xFF});
    for (int i = 0; i < 32767; ++i) longCaption.push_back(static_cast<uint8_t>('a' + i % 26));
    longCaption.insert(longCaption.end(), {0xF9, 3, 0, 'o', 'd', 'd'});
    seeds.push_back({"caption-32767-then-record-3", longCaption});
    return seeds;
}

std::vector<uint8_t> FileInfoData(std::initializer_list<Bytes> datasets) {
    Bytes data = Dataset(0, {0, 2});
    for (const Bytes &dataset : datasets) data = Join({data, dataset});
    return data;
}

TextInput Entry(const std::string &keyword, const std::string &text, bool compressed = false) {
    return TextInput{compressed, keyword, std::vector<uint8_t>(text.begin(), text.end())};
}

// The control byte that opens a file under a monitor gamma: the open target
// takes the gamma from bits 0-2, the differential from bits 1-3 beside the
// CRC repair of bit 0.
uint8_t OpenControl(SeedMonitor monitor) {
    static const uint8_t kGammaIndices[] = {0, 2, 3, 4};
    return kGammaIndices[static_cast<int>(monitor)];
}
uint8_t OpenDiffControl(SeedMonitor monitor) { return static_cast<uint8_t>(1 | static_cast<int>(monitor) << 1); }

std::vector<Seed> WithControls(uint8_t (*control)(SeedMonitor)) {
    std::vector<Seed> seeds;
    for (const FileSeed &kind : FileKindSeeds())
        seeds.push_back({kind.name, WithControl(control(kind.monitor), kind.file)});
    return seeds;
}

}  // namespace

std::vector<Seed> OpenSeeds(const std::string &pngsuiteDir) {
    std::vector<Seed> seeds = MadePictures();
    for (Seed &answered : Answered(MadePictures(), 1)) seeds.push_back(std::move(answered));
    for (Seed &answered : Answered({MadePictures()[1]}, 1, EveryMemoryRefusal())) seeds.push_back(std::move(answered));
    for (Seed &answered : Answered({MadePictures()[0]}, 1, EverySuiteBroken())) seeds.push_back(std::move(answered));
    for (Seed &kind : WithControls(OpenControl)) seeds.push_back(std::move(kind));
    // Shorter than the signature.
    seeds.push_back({"five-bytes", WithControl(0, {0x89, 'P', 'N', 'G', 0x0D})});
    // A host without room for the image: read-finish right after read-start.
    for (Seed declined : MadePictures()) {
        declined.bytes[0] |= 16;
        declined.name += "-no-room";
        seeds.push_back(std::move(declined));
    }
    uint8_t control = 0;
    for (const std::string &name : PngNamesIn(pngsuiteDir))
        seeds.push_back({name, WithControl(control++ & 15, ReadWholeFile(pngsuiteDir + "/" + name))});
    return seeds;
}

// The tests' pattern pictures in every colour type and depth, plain and
// interlaced, at a size that leaves passes short and rows with spare bits.
std::vector<Seed> PatternFiles() {
    std::vector<Seed> seeds;
    for (const PictureFormat &format : kPictureFormats)
        for (const bool interlaced : {false, true})
            seeds.push_back({"pattern-" + FormatName(format, interlaced),
                             EncodePng(PatternPicture(11, 7, format.colorType, format.depth, interlaced))});
    return seeds;
}

// A file whose texts carry every keyword of the table and near misses of
// them, with a date.
std::vector<uint8_t> KeywordFile() {
    PngPicture picture = PatternPicture(5, 3, PNG_COLOR_TYPE_GRAY, 8, false);
    for (const char *keyword : {"author", "Caption", "Writer", "ByLine", "Headline", "Instructions", "Title", "Credit",
                                "Source", "Object", "City", "Province", "Country", "description", "comment", "AUTHORS",
                                "Provinc", "Cit", "Countries", "Descriptio"})
        picture.texts.push_back({keyword, std::string("text of ") + keyword});
    picture.hasTime = true;
    picture.year = 2024;
    picture.month = 2;
    picture.day = 29;
    return EncodePng(picture);
}

// Large images that compress small: each sample steps by a fixed amount
// along the row and down the columns, so every filtered row repeats one
// short run. Over 16 MiB as the host holds them (or as they are stored),
// plain and interlaced.
PngPicture SteppedPicture(uint32_t width, uint32_t height, int colorType, int bitDepth, bool interlaced) {
    PngPicture picture = PatternPicture(1, 1, colorType, bitDepth, interlaced);
    picture.width = width;
    picture.height = height;
    const size_t rowBytes = StoredRowBytes(picture);
    picture.rows.assign(height, std::vector<uint8_t>(rowBytes));
    for (uint32_t y = 0; y < height; ++y)
        for (size_t i = 0; i < rowBytes; ++i) picture.rows[y][i] = static_cast<uint8_t>(i * 5 + y * 3 + (i & 1) * 40);
    return picture;
}

std::vector<Seed> LargeFiles() {
    struct Large {
        const char *name;
        uint32_t width, height;
        int colorType, depth;
    };
    static const Large kLarge[] = {{"gray-4100", 4100, 4100, PNG_COLOR_TYPE_GRAY, 8},
                                   {"rgba-2100", 2100, 2100, PNG_COLOR_TYPE_RGB_ALPHA, 8},
                                   {"gray16-3000", 3000, 3000, PNG_COLOR_TYPE_GRAY, 16}};
    std::vector<Seed> seeds;
    for (const Large &large : kLarge)
        for (const bool interlaced : {false, true})
            seeds.push_back({std::string("large-") + large.name + (interlaced ? "-interlaced" : ""),
                             EncodePng(SteppedPicture(large.width, large.height, large.colorType, large.depth,
                                                      interlaced))});
    return seeds;
}

// Valid files with more texts than libspng allows by default (1000).
std::vector<uint8_t> ManyTextsFile() {
    PngPicture picture = PatternPicture(4, 3, PNG_COLOR_TYPE_GRAY, 8, false);
    for (int i = 0; i < 1200; ++i) picture.texts.push_back({i == 600 ? "Title" : "Comment", std::to_string(i)});
    return EncodePng(picture);
}

// The control byte: bit 0 has the driver make every CRC right, so that the
// fuzzer's changes to chunk contents reach the module; bits 1-3 pick the
// monitor gamma. The made pictures with a gAMA and the PngSuite's gamma
// files ("g...") are opened at a monitor gamma of 2.2, the rest without.
std::vector<Seed> OpenDiffSeeds(const std::string &pngsuiteDir) {
    std::vector<Seed> seeds = MadeFiles();
    for (Seed &pattern : PatternFiles()) seeds.push_back(std::move(pattern));
    seeds.push_back({"keywords", KeywordFile()});
    seeds.push_back({"many-texts", ManyTextsFile()});
    for (Seed &large : LargeFiles()) seeds.push_back(std::move(large));
    for (Seed &seed : seeds)
        seed.bytes = WithControl(seed.name == "texts" || seed.name == "indexed-interlaced" ? 7 : 1, seed.bytes);
    const std::vector<Seed> made(seeds.begin(), seeds.begin() + 4);
    for (Seed &answered : Answered(made, 1)) seeds.push_back(std::move(answered));
    for (const std::string &name : PngNamesIn(pngsuiteDir))
        seeds.push_back({name, WithControl(name[0] == 'g' ? 7 : 1, ReadWholeFile(pngsuiteDir + "/" + name))});
    for (Seed &kind : WithControls(OpenDiffControl)) seeds.push_back(std::move(kind));
    seeds.push_back({"libpng-over-8mb", WithControl(1, LargeLibpngFile())});
    return seeds;
}
std::vector<Seed> SaveRoundTripSeeds() {
    std::vector<Seed> seeds = SaveSeeds();
    for (Seed &edge : EdgeSaveSeeds()) seeds.push_back(std::move(edge));
    for (Seed &boundary : SaveBoundarySeeds()) seeds.push_back(std::move(boundary));
    // The host's answers byte first: none, and in a few saves each answer
    // (RGB straight, RGBA interlaced with captions, gray interlaced,
    // indexed with captions, RGB without the dialog), the system's memory
    // refused at each request of the first two, and every suite broken in
    // the first and the last.
    for (Seed &seed : seeds) seed.bytes.insert(seed.bytes.begin(), 0);
    const std::vector<Seed> answered = Answered({seeds[48], seeds[71], seeds[20], seeds[41], seeds[76]}, 0);
    std::vector<Seed> refused = Answered({seeds[48], seeds[71]}, 0, EveryMemoryRefusal());
    for (Seed &broken : Answered({seeds[48], seeds[76]}, 0, EverySuiteBroken())) refused.push_back(std::move(broken));
    seeds.insert(seeds.end(), answered.begin(), answered.end());
    seeds.insert(seeds.end(), refused.begin(), refused.end());
    return seeds;
}

std::vector<Seed> FileInfoExportSeeds() {
    const Bytes captions = FileInfoData({Dataset(120, Text("a boat")), Dataset(5, Text("object")),
                                         Dataset(110, Text("Ann")), Dataset(55, Text("19960305")),
                                         Dataset(40, Text("keep dry"))});
    const Bytes every = FileInfoData({Dataset(40, Text("i")), Dataset(80, Text("b")), Dataset(85, Text("t")),
                                      Dataset(90, Text("c")), Dataset(95, Text("p")), Dataset(101, Text("n")),
                                      Dataset(105, Text("h")), Dataset(110, Text("r")), Dataset(115, Text("s")),
                                      Dataset(120, Text("d")), Dataset(122, Text("w")), Dataset(55, Text("2024"))});
    std::vector<Seed> seeds = {
        {"captions", Resource(0x0404, captions)},
        {"padded-among-others", Join({Resource(0x03ED, Text("abc"), "res", true), Resource(0x0404, captions, "x", true),
                                      Resource(0x0408, Text("z"))})},
        {"every-keyword", Resource(0x0404, every)},
        {"two-blocks", Join({Resource(0x0404, FileInfoData({Dataset(90, Text("Rome"))})), Resource(0x0404, every)})},
        {"long-caption", Resource(0x0404, FileInfoData({Dataset(120, Bytes(600, 'x'))}))},
        {"more-than-fit", Resource(0x0404, FileInfoData({Dataset(90, Text("a")), Dataset(95, Text("b")),
                                                         Dataset(101, Text("c")), Dataset(105, Text("d")),
                                                         Dataset(110, Text("e")), Dataset(115, Text("f")),
                                                         Dataset(120, Text("g")), Dataset(122, Text("h")),
                                                         Dataset(40, Text("i")), Dataset(80, Text("j")),
                                                         Dataset(85, Text("k")), Dataset(90, Text("l")),
                                                         Dataset(95, Text("m")), Dataset(101, Text("n")),
                                                         Dataset(105, Text("o")), Dataset(110, Text("p")),
                                                         Dataset(115, Text("q")), Dataset(120, Text("r")),
                                                         Dataset(122, Text("s")), Dataset(55, Text("20240229"))}))},
    };
    // The host's answers byte first: none, then each answer and the
    // system's memory refused at each request in a save of every keyword.
    for (Seed &seed : seeds) seed.bytes.insert(seed.bytes.begin(), 0);
    for (Seed &answered : Answered({seeds[2]}, 0)) seeds.push_back(std::move(answered));
    for (Seed &answered : Answered({seeds[2]}, 0, EveryMemoryRefusal())) seeds.push_back(std::move(answered));
    return seeds;
}

std::vector<Seed> FileInfoImportSeeds() {
    TextListInput known;
    known.hasTime = true;
    known.time = png_time{1996, 3, 5, 12, 30, 0};
    known.entries = {Entry("Title", "Harbour"), Entry("Caption", "a boat", true), Entry("Author", "Ann"),
                     Entry("Cityscape", "Rome"), Entry("Software", "paint"), Entry("description", std::string(300, 'd'))};
    TextListInput odd;
    odd.entries = {Entry("", "no keyword"), Entry(std::string(80, 'k'), "long keyword"),
                   Entry(std::string("Capt\0ion", 8), "zero in keyword"), Entry("Credit", std::string("a\0b", 3), true),
                   Entry("Headline", std::string(255, 'h')), Entry("Writer", std::string(256, 'w'))};
    // The host's answers byte first, as for the export.
    std::vector<Seed> seeds = {{"known", EncodeTextListInput(known)}, {"odd", EncodeTextListInput(odd)}};
    for (Seed &seed : seeds) seed.bytes.insert(seed.bytes.begin(), 0);
    for (Seed &answered : Answered({seeds[0]}, 0)) seeds.push_back(std::move(answered));
    for (Seed &answered : Answered({seeds[0]}, 0, EveryMemoryRefusal())) seeds.push_back(std::move(answered));
    return seeds;
}
