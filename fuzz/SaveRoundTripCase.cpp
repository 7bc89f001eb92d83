#include "fuzz/SaveRoundTripCase.h"

#include <png.h>
#include <setjmp.h>
#include <spng.h>

#include <cmath>
#include <cstdlib>

#include "pnghost/host/PluginHost.h"
#include "tests/fileinfo/FileInfoBytes.h"

namespace {

class ByteReader {
public:
    ByteReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Bytes(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | Byte();
        return value;
    }
    const uint8_t *Rest(size_t *left) const {
        *left = size_ - at_;
        return data_ + at_;
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

struct ModeKind {
    int16_t mode, planes;
};
const ModeKind kModes[6] = {{kModeBitmap, 1}, {kModeGrayscale, 1}, {kModeGrayscale, 2},
                            {kModeIndexed, 1}, {kModeRGB, 3},      {kModeRGB, 4}};

// No gamma, the editors' usual ones (2.2, 1.0, 1.8, 2.5, 0.45, 4.0), and
// one no gAMA can carry.
const HostFixed kMonitorGammas[8] = {0, 144179, 65536, 0x7FFFFFFF, 117965, 163840, 29491, 262144};

// Monitor chromaticities: white x, y, red x, y, green x, y, blue x, y. All
// zero (which libpng will not write), sRGB, the wide-gamut primaries (sRGB's
// red and blue, green at 0.21, 0.71) under sRGB's white, sRGB with a D50
// white.
const double kPrimaries[4][8] = {{0, 0, 0, 0, 0, 0, 0, 0},
                                 {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06},
                                 {0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06},
                                 {0.3457, 0.3585, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06}};

// The host's 16.16 values become real numbers through the single-precision
// value nearest to 1/65535.
double FixedToReal(HostFixed value) { return value * static_cast<double>(1.5259022e-05f); }

// libpng stores a real number as its value times 100000, rounded.
uint32_t Stored(double value) { return static_cast<uint32_t>(std::floor(value * 100000.0 + 0.5)); }

// Datasets the save turns into texts, the date, and some it skips.
const int kDatasetNumbers[16] = {40, 80, 85, 90, 95, 101, 105, 110, 115, 120, 122, 55, 0, 5, 7, 200};

struct DatasetKeyword {
    int number;
    const char *keyword;
};
const DatasetKeyword kWritten[] = {{40, "Instructions"}, {80, "ByLine"},    {85, "Title"},    {90, "City"},
                                   {95, "Province"},     {101, "Country"},  {105, "Headline"}, {110, "Author"},
                                   {115, "Source"},      {120, "Description"}, {122, "Writer"}};

const char *KeywordOf(int number) {
    for (const DatasetKeyword &row : kWritten)
        if (row.number == number) return row.keyword;
    return nullptr;
}

// 0 to 511 bytes, or with the top bit of the second length byte up to 32767.
std::string DatasetText(ByteReader *reader) {
    const size_t low = reader->Byte(), high = reader->Byte();
    const size_t length = (high & 0x80) != 0 ? (high & 0x7F) << 8 | low : (high & 1) * 256 + low;
    std::string text;
    for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(reader->Byte()));
    return text;
}

// The editor's File Info block: Record Version first, then the datasets,
// padded to an even length, under a name.
Bytes FileInfoBlock(const std::vector<SaveDataset> &datasets, const std::string &name) {
    Bytes data = Dataset(0, {0, 2});
    for (const SaveDataset &dataset : datasets)
        data = Join({data, Dataset(static_cast<uint8_t>(dataset.number), Text(dataset.text),
                                   static_cast<uint8_t>(dataset.record))});
    return Resource(0x0404, data, name, true);
}

void ReadFileInfo(ByteReader *reader, SaveCase *save) {
    const uint8_t layout = reader->Byte();
    if ((layout & 0x18) == 0x18) save->hostSignature = HOST_FOURCC('8', 'B', 'I', 'N');
    const int count = reader->Byte() % 24;
    std::vector<SaveDataset> datasets;
    for (int i = 0; i < count; ++i) {
        const uint8_t kind = reader->Byte();
        const int record = kind >> 4 == 15 ? 3 : 2;
        datasets.push_back({record, kDatasetNumbers[kind % 16], DatasetText(reader)});
    }
    const auto half = datasets.begin() + ((layout & 4) != 0 ? count / 2 : 0);
    if (half != datasets.begin()) save->fileInfoBlocks.emplace_back(datasets.begin(), half);
    save->fileInfoBlocks.emplace_back(half, datasets.end());
    // Bits 5-6: every resource named with 0 to 3 letters, so that names of
    // odd and even length and their pad bytes come before the File Info;
    // bit 7: the other resources' data of odd length, with a pad byte.
    const std::string name = std::string("abc").substr(0, (layout >> 5) & 3);
    const std::string odd = (layout & 0x80) != 0 ? "s" : "";
    Bytes resources = (layout & 1) != 0 ? Resource(0x03ED, Text("resolution" + odd), name, true) : Bytes{};
    for (const std::vector<SaveDataset> &block : save->fileInfoBlocks)
        resources = Join({resources, FileInfoBlock(block, name)});
    if ((layout & 2) != 0) resources = Join({resources, Resource(0x0408, Text("grid" + odd), name + "x", true)});
    save->image.resources = resources;
}

// Bits 0-2 a gamma from the table, bits 6-7 primaries from theirs; with bit
// 3 the gamma is any 16.16 value from the next four bytes (tiny, huge,
// negative), with bit 4 the chromaticities are any eight 16.16 values from
// the 32 bytes after (outside 0 to 1, coinciding, a white point of y 0).
void ReadMonitor(ByteReader *reader, HostMonitor *monitor) {
    const uint8_t byte = reader->Byte();
    monitor->gamma = kMonitorGammas[byte % 8];
    if ((byte & 8) != 0) monitor->gamma = static_cast<HostFixed>(reader->Bytes(4));
    const double *primaries = kPrimaries[byte >> 6];
    HostFixed *fields[8] = {&monitor->whiteX, &monitor->whiteY, &monitor->redX,  &monitor->redY,
                            &monitor->greenX, &monitor->greenY, &monitor->blueX, &monitor->blueY};
    for (int i = 0; i < 8; ++i)
        *fields[i] = (byte & 16) != 0 ? static_cast<HostFixed>(reader->Bytes(4)) : ToFixed(primaries[i]);
}

// libpng writes a cHRM only for chromaticities it can turn into a colour
// space; asked of a write struct of the harness's own.
void IgnoreWarning(png_structp, png_const_charp) {}
[[noreturn]] void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool TakenByLibpng(png_structp png, png_infop info, const double values[8]) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_cHRM(png, info, values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7]);
    return png_get_valid(png, info, PNG_INFO_cHRM) != 0;
}

bool LibpngTakesChromaticities(const double values[8]) {
    for (int i = 0; i < 8; ++i)
        if (!(values[i] >= 0.0 && values[i] <= 1.0)) return false;  // a file holds no others
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    const bool taken = info != nullptr && TakenByLibpng(png, info, values);
    png_destroy_write_struct(&png, &info);
    return taken;
}

// Below 0xE0 a mode the module saves, gray and RGB with up to 3 planes more
// than their colour type carries; from 0xE0 one it refuses.
void ReadMode(uint8_t byte, SaveCase *save) {
    const ModeKind kind = kModes[(byte & 7) % 6];
    HostImage &image = save->image;
    image.mode = kind.mode;
    image.planes = kind.planes;
    image.depth = kind.mode == kModeBitmap ? 1 : 8;
    save->refused = byte >= 0xE0;
    if (!save->refused) {
        if (kind.mode == kModeGrayscale || kind.mode == kModeRGB) image.planes += (byte >> 3) & 3;
    } else if ((byte & 1) != 0) {
        image.mode = static_cast<int16_t>(4 + (byte >> 1) % 6);
        image.planes = 1;
        image.depth = 8;
    } else {
        image.depth = image.depth == 1 ? 8 : 1;
    }
}

// None (a horizontal resolution of 0), any 16.16 values, negative ones
// among them, or the resolutions editors use, up to 9600 pixels per inch.
void ReadResolution(ByteReader *reader, HostImage *image) {
    const uint8_t kind = reader->Byte() % 4;
    const uint32_t x = reader->Bytes(4), y = reader->Bytes(4);
    if (kind == 1) {
        image->horizontalResolution = static_cast<HostFixed>(x == 0 ? 1 : x);
        image->verticalResolution = static_cast<HostFixed>(y);
        return;
    }
    image->horizontalResolution = kind == 0 ? 0 : static_cast<HostFixed>(1 + x % (9600u << 16));
    image->verticalResolution = static_cast<HostFixed>(y % (9600u << 16));
}

// A real number of pixels per metre rounded, none below 0.
uint32_t RoundedPerMetre(HostFixed perInch) {
    const double perMetre = perInch * static_cast<double>(1.5259022e-05f) * 39.37008 + 0.5;
    return perMetre <= 0 ? 0 : static_cast<uint32_t>(perMetre);
}

// The rest of the input, repeated; indices kept within the palette. One
// pass per case rather than a test per sample, as large images have
// millions.
void FillSamples(ByteReader *reader, SaveCase *save) {
    size_t left = 0;
    const uint8_t *rest = reader->Rest(&left);
    HostImage &image = save->image;
    uint8_t *pixels = image.pixels.data();
    const size_t size = image.pixels.size();
    if (left == 0)
        for (size_t i = 0; i < size; ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    else
        for (size_t i = 0; i < size; ++i) pixels[i] = rest[i % left];
    if (image.mode != kModeIndexed) return;
    for (size_t i = 0; i < size; ++i) pixels[i] = static_cast<uint8_t>(pixels[i] % save->paletteEntries);
}

// Date Created decoded as the save reads it: each part a decimal number after
// white space and one sign, up to the first other character.
int DecimalPart(const std::string &digits) {
    size_t at = 0;
    while (at < digits.size() && (digits[at] == ' ' || (digits[at] >= '\t' && digits[at] <= '\r'))) ++at;
    bool negative = false;
    if (at < digits.size() && (digits[at] == '+' || digits[at] == '-')) negative = digits[at++] == '-';
    int value = 0;
    while (at < digits.size() && digits[at] >= '0' && digits[at] <= '9') value = value * 10 + (digits[at++] - '0');
    return negative ? -value : value;
}

}  // namespace

SaveCase MakeSaveCase(const uint8_t *data, size_t size) {
    ByteReader reader(data, size);
    SaveCase save;
    ReadMode(reader.Byte(), &save);
    const ModeKind kind{save.image.mode, save.image.planes};
    const uint8_t options = reader.Byte();
    save.withoutOptions = (options & 64) != 0;
    save.choices.interlace = save.withoutOptions || ((options & 1) != 0 && kind.mode != kModeBitmap);
    save.choices.bestSpeed = !save.withoutOptions && (options & 2) != 0;
    save.choices.writeFileInfo = !save.withoutOptions && (options & 4) != 0;
    // The dialog disables Filtering for the modes it never filters.
    const bool filtered = kind.mode == kModeGrayscale || kind.mode == kModeRGB;
    save.choices.filterEntry = filtered && !save.withoutOptions ? (options >> 3) % 6 : -1;
    const uint32_t largest = (options & 128) != 0 ? 2100 : 300;
    save.image.columns = static_cast<int16_t>(1 + reader.Bytes(2) % largest);
    save.image.rows = static_cast<int16_t>(1 + reader.Bytes(2) % largest);
    save.paletteEntries = 1 + reader.Byte();
    ReadResolution(&reader, &save.image);
    ReadMonitor(&reader, &save.monitor);
    if (save.choices.writeFileInfo) ReadFileInfo(&reader, &save);
    for (int i = 0; i < 256; ++i) {
        const bool inPalette = kind.mode == kModeIndexed && i < save.paletteEntries;
        save.image.red[i] = inPalette ? reader.Byte() : 0;
        save.image.green[i] = inPalette ? reader.Byte() : 0;
        save.image.blue[i] = inPalette ? reader.Byte() : 0;
    }
    AllocateHostImage(&save.image);
    FillSamples(&reader, &save);
    return save;
}

std::vector<uint8_t> SaveCase::ExpectedPalette() const {
    std::vector<uint8_t> palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {image.red[i], image.green[i], image.blue[i]});
    return palette;
}

void SaveCase::ExpectedPixelsPerMetre(uint32_t *x, uint32_t *y) const {
    *x = RoundedPerMetre(image.horizontalResolution);
    *y = RoundedPerMetre(image.verticalResolution);
}

// The walk of the resources: each File Info block starts the list afresh,
// "Software" first under the host signature 8BIM, then one text per dataset
// with a keyword, in record order (a zero byte written as a space); the
// walk ends at 19 texts or at a dataset of another record. The date stays
// from the last Date Created met; libpng writes no tIME whose month or day
// is out of range.
ExpectedCaptions SaveCase::ExpectedFileInfoChunks() const {
    ExpectedCaptions captions;
    if (!choices.writeFileInfo) return captions;
    for (const std::vector<SaveDataset> &block : fileInfoBlocks) {
        captions.texts.clear();
        if (hostSignature == HOST_FOURCC('8', 'B', 'I', 'M'))
            captions.texts.push_back({SPNG_TEXT, "Software", {'I', 'm', 'a', 'g', 'e', ' ', 'H', 'o', 's', 't'}});
        for (const SaveDataset &dataset : block) {
            if (dataset.record != 2 || captions.texts.size() == 19) return captions;
            if (dataset.number == 55) {
                const std::string digits = dataset.text.substr(0, 8);
                // Stored as the time record holds them: a 16-bit year, 8-bit
                // month and day.
                captions.year = static_cast<uint16_t>(DecimalPart(digits.substr(0, 4)));
                captions.month = static_cast<uint8_t>(digits.size() > 4 ? DecimalPart(digits.substr(4, 2)) : 0);
                captions.day = static_cast<uint8_t>(digits.size() > 6 ? DecimalPart(digits.substr(6, 2)) : 0);
                captions.dated = captions.month >= 1 && captions.month <= 12 && captions.day >= 1 && captions.day <= 31;
            }
            const char *keyword = KeywordOf(dataset.number);
            if (keyword == nullptr) continue;
            SpngText text{SPNG_TEXT, keyword, std::vector<uint8_t>(dataset.text.begin(), dataset.text.end())};
            for (uint8_t &byte : text.text)
                if (byte == 0) byte = ' ';
            captions.texts.push_back(text);
        }
    }
    return captions;
}

// 1 / monitor gamma, for images of more than one bit, where a gAMA can
// carry it; else neither gAMA nor cHRM.
bool SaveCase::ExpectedGamma(uint32_t *gamma) const {
    if (monitor.gamma == 0 || image.mode == kModeBitmap) return false;
    const double stored = 100000.0 / FixedToReal(monitor.gamma);
    if (stored < 16.0 || stored > 625000000.0) return false;
    *gamma = static_cast<uint32_t>(std::floor(stored + 0.5));
    return true;
}

// The monitor's chromaticities beside the gAMA, when libpng takes them.
bool SaveCase::ExpectedChromaticities(uint32_t values[8]) const {
    uint32_t gamma = 0;
    if (!ExpectedGamma(&gamma)) return false;
    const HostFixed fields[8] = {monitor.whiteX, monitor.whiteY, monitor.redX,  monitor.redY,
                                 monitor.greenX, monitor.greenY, monitor.blueX, monitor.blueY};
    double reals[8];
    for (int i = 0; i < 8; ++i) reals[i] = FixedToReal(fields[i]);
    if (!LibpngTakesChromaticities(reals)) return false;
    for (int i = 0; i < 8; ++i) values[i] = Stored(reals[i]);
    return true;
}

// zlib level 1 sets the field to 0, level 9 to 3.
int SaveCase::ExpectedCompressionLevelField() const { return choices.bestSpeed ? 0 : 3; }

// Dialog entries 0 to 4 fix the filter, entry 5 lets the rule choose among
// all five; without the dialog the rule chooses among None, Sub, Up and
// Average. Indexed and 1-bit rows are never filtered, and libpng applies no
// filter that looks above in an image of one row, nor left in one of one
// column.
int SaveCase::ExpectedFilter(const StoredRow &row, size_t bytesPerPixel) const {
    if (image.mode == kModeBitmap || image.mode == kModeIndexed) return 0;
    int filter = choices.filterEntry;
    if (withoutOptions) filter = ChosenFilter(row, bytesPerPixel, 0x0F);
    if (filter == 5) filter = ChosenFilter(row, bytesPerPixel, 0x1F);
    const bool looksAbove = filter == 2 || filter == 3 || filter == 4;
    const bool looksLeft = filter == 1 || filter == 3 || filter == 4;
    if ((looksAbove && image.rows == 1) || (looksLeft && image.columns == 1)) return 0;
    return filter;
}

std::string SaveCase::Describe() const {
    return std::string(ImageModeName(image.mode)) + " " + std::to_string(image.planes) + " planes depth " +
           std::to_string(image.depth) + " " +
           std::to_string(image.columns) + "x" + std::to_string(image.rows) +
           (choices.interlace ? " interlaced" : "") + (withoutOptions ? " without options" : "") + " filter entry " + std::to_string(choices.filterEntry) +
           (choices.bestSpeed ? " best speed" : "") + (choices.writeFileInfo ? " File Info" : "") +
           " monitor gamma " + std::to_string(monitor.gamma);
}

std::string SaveCase::CheckFileInfoChunks(const SpngFile &file) const {
    const ExpectedCaptions expected = ExpectedFileInfoChunks();
    if (file.texts.size() != expected.texts.size())
        return std::to_string(file.texts.size()) + " texts written, " + std::to_string(expected.texts.size()) +
               " expected";
    for (size_t i = 0; i < expected.texts.size(); ++i)
        if (file.texts[i].type != expected.texts[i].type || file.texts[i].keyword != expected.texts[i].keyword ||
            file.texts[i].text != expected.texts[i].text)
            return "text " + std::to_string(i) + " is " + file.texts[i].keyword + " of " +
                   std::to_string(file.texts[i].text.size()) + " bytes, expected " + expected.texts[i].keyword +
                   " of " + std::to_string(expected.texts[i].text.size());
    if (file.hasTime != expected.dated)
        return (expected.dated ? "no tIME written" : "a tIME written without a date, " + std::to_string(file.year) +
                                                        "-" + std::to_string(file.month) + "-" +
                                                        std::to_string(file.day)) +
               "; dates given: " + DatesGiven();
    if (expected.dated && (file.year != expected.year || file.month != expected.month || file.day != expected.day ||
                           file.hour != 0 || file.minute != 0 || file.second != 0))
        return "tIME " + std::to_string(file.year) + "-" + std::to_string(file.month) + "-" + std::to_string(file.day);
    return {};
}

std::string SaveCase::DatesGiven() const {
    std::string dates;
    for (const std::vector<SaveDataset> &block : fileInfoBlocks)
        for (const SaveDataset &dataset : block)
            if (dataset.number == 55) dates += "\"" + dataset.text.substr(0, 8) + "\" ";
    return dates;
}
