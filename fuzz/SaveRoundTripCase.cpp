#include "fuzz/SaveRoundTripCase.h"

#include <spng.h>

#include <cstdlib>

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

// No gamma, the editors' usual ones, and extremes.
const HostFixed kMonitorGammas[4] = {0, 144179, 65536, 0x7FFFFFFF};

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

std::string DatasetText(ByteReader *reader) {
    const size_t length = reader->Byte() + (reader->Byte() & 1) * 256u;  // 0 to 511
    std::string text;
    for (size_t i = 0; i < length && i <= 300; ++i) text.push_back(static_cast<char>(reader->Byte()));
    return text;
}

void ReadDatasets(ByteReader *reader, SaveCase *save) {
    const int count = reader->Byte() % 24;
    for (int i = 0; i < count; ++i) {
        const int number = kDatasetNumbers[reader->Byte() % 16];
        save->datasets.push_back({number, DatasetText(reader)});
    }
    save->image.resources = BuildFileInfoResource(save->datasets);
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

void FillSamples(ByteReader *reader, SaveCase *save) {
    size_t left = 0;
    const uint8_t *rest = reader->Rest(&left);
    HostImage &image = save->image;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint8_t value = left == 0 ? static_cast<uint8_t>(i * 7) : rest[i % left];
        image.pixels[i] = image.mode == kModeIndexed ? static_cast<uint8_t>(value % save->paletteEntries) : value;
    }
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
    const ModeKind kind = kModes[reader.Byte() % 6];
    const uint8_t options = reader.Byte();
    save.image.mode = kind.mode;
    save.image.planes = kind.planes;
    save.image.depth = kind.mode == kModeBitmap ? 1 : 8;
    save.withoutOptions = (options & 64) != 0;
    save.choices.interlace = save.withoutOptions || ((options & 1) != 0 && kind.mode != kModeBitmap);
    save.choices.bestSpeed = !save.withoutOptions && (options & 2) != 0;
    save.choices.writeFileInfo = !save.withoutOptions && (options & 4) != 0;
    // The dialog disables Filtering for the modes it never filters.
    const bool filtered = kind.mode == kModeGrayscale || kind.mode == kModeRGB;
    save.choices.filterEntry = filtered && !save.withoutOptions ? (options >> 3) % 6 : -1;
    save.image.columns = static_cast<int16_t>(1 + reader.Bytes(2) % 300);
    save.image.rows = static_cast<int16_t>(1 + reader.Bytes(2) % 300);
    save.paletteEntries = 1 + reader.Byte();
    ReadResolution(&reader, &save.image);
    save.monitorGamma = kMonitorGammas[reader.Byte() % 4];
    if (save.choices.writeFileInfo) ReadDatasets(&reader, &save);
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

// "Software" first, then one text per dataset with a keyword, in record
// order, 19 in all at most; a zero byte is written as a space.
std::vector<SpngText> SaveCase::ExpectedTexts() const {
    std::vector<SpngText> texts;
    if (!choices.writeFileInfo) return texts;
    texts.push_back({SPNG_TEXT, "Software", {'I', 'm', 'a', 'g', 'e', ' ', 'H', 'o', 's', 't'}});
    for (const IptcDataset &dataset : datasets) {
        if (texts.size() == 19) break;
        const char *keyword = KeywordOf(dataset.number);
        if (keyword == nullptr) continue;
        SpngText text{SPNG_TEXT, keyword, std::vector<uint8_t>(dataset.text.begin(), dataset.text.end())};
        for (uint8_t &byte : text.text)
            if (byte == 0) byte = ' ';
        texts.push_back(text);
    }
    return texts;
}

bool SaveCase::ExpectedDate(int *year, int *month, int *day) const {
    if (!choices.writeFileInfo) return false;
    bool dated = false;
    size_t entries = 1;
    for (const IptcDataset &dataset : datasets) {
        if (entries == 19) break;
        if (KeywordOf(dataset.number) != nullptr) ++entries;
        if (dataset.number != 55) continue;
        const std::string digits = dataset.text.substr(0, 8);
        // Stored as the time record holds them: a 16-bit year, 8-bit month
        // and day; libpng writes no tIME whose month or day is out of range.
        *year = static_cast<uint16_t>(DecimalPart(digits.substr(0, 4)));
        *month = static_cast<uint8_t>(digits.size() > 4 ? DecimalPart(digits.substr(4, 2)) : 0);
        *day = static_cast<uint8_t>(digits.size() > 6 ? DecimalPart(digits.substr(6, 2)) : 0);
        dated = *month >= 1 && *month <= 12 && *day >= 1 && *day <= 31;
    }
    return dated;
}

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
    return std::string(ImageModeName(image.mode)) + " " + std::to_string(image.planes) + " planes " +
           std::to_string(image.columns) + "x" + std::to_string(image.rows) +
           (choices.interlace ? " interlaced" : "") + (withoutOptions ? " without options" : "") + " filter entry " + std::to_string(choices.filterEntry) +
           (choices.bestSpeed ? " best speed" : "") + (choices.writeFileInfo ? " File Info" : "");
}

std::string SaveCase::DatesGiven() const {
    std::string dates;
    for (const IptcDataset &dataset : datasets)
        if (dataset.number == 55) dates += "\"" + dataset.text.substr(0, 8) + "\" ";
    return dates;
}
