#include "fileinfo/FileInfoBlock.h"

#include <string.h>

#include "fileinfo/DateCreated.h"
#include "fileinfo/FileInfoFormat.h"
#include "fileinfo/KeywordTable.h"

namespace {

constexpr uint64_t kBlockStartLength = kFileInfoHeaderLength + sizeof kRecordVersionDataset;
constexpr uint64_t kDateDatasetLength = kDatasetHeaderLength + kDateCreatedLength;

int32_t EntryCount(const PngTextList &texts) {
    return (texts.entries == nullptr || texts.count < 0) ? 0 : texts.count;
}

// The dataset an entry becomes, or kNoDataset when it is left out: the
// length field holds one byte, and a text without bytes to read is no text.
int DatasetForEntry(const PngTextEntry &entry) {
    if (entry.length > kLongestWrittenText) return kNoDataset;
    if (entry.text == nullptr && entry.length > 0) return kNoDataset;
    return DatasetForKeyword(entry.keyword);
}

void PutBigEndian32(uint8_t *at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

uint8_t *PutDatasetHeader(uint8_t *at, uint8_t dataset, uint32_t length) {
    at[0] = kDatasetMarker;
    at[1] = kApplicationRecord;
    at[2] = dataset;
    at[3] = 0;
    at[4] = static_cast<uint8_t>(length);
    return at + kDatasetHeaderLength;
}

// The text ends at its first zero byte, as a C string would, but the dataset
// keeps the entry's full length: the rest is zero-filled.
uint8_t *PutTextData(uint8_t *at, const PngTextEntry &entry) {
    bool ended = false;
    for (uint32_t i = 0; i < entry.length; ++i) {
        if (entry.text[i] == 0) ended = true;
        at[i] = ended ? 0 : entry.text[i];
    }
    return at + entry.length;
}

uint8_t *PutBlockStart(uint8_t *at) {
    memcpy(at, kResourceSignature, sizeof kResourceSignature);
    at[4] = static_cast<uint8_t>(kFileInfoResourceId >> 8);
    at[5] = static_cast<uint8_t>(kFileInfoResourceId);
    at[6] = 0;  // empty name
    at[7] = 0;  // and its pad byte
    PutBigEndian32(at + 8, 0);
    memcpy(at + kFileInfoHeaderLength, kRecordVersionDataset, sizeof kRecordVersionDataset);
    return at + kBlockStartLength;
}

uint8_t *PutTextDatasets(uint8_t *at, const PngTextList &texts) {
    for (int32_t i = 0; i < EntryCount(texts); ++i) {
        const PngTextEntry &entry = texts.entries[i];
        const int dataset = DatasetForEntry(entry);
        if (dataset == kNoDataset) continue;
        at = PutDatasetHeader(at, static_cast<uint8_t>(dataset), entry.length);
        at = PutTextData(at, entry);
    }
    return at;
}

uint8_t *PutDateDataset(uint8_t *at, const png_time &time) {
    at = PutDatasetHeader(at, kDatasetDateCreated, kDateCreatedLength);
    EncodeDateCreated(time, at);
    return at + kDateCreatedLength;
}

}  // namespace

size_t MeasureFileInfoBlock(const PngTextList &texts) {
    uint64_t textBytes = 0;
    bool anyText = false;
    for (int32_t i = 0; i < EntryCount(texts); ++i) {
        const PngTextEntry &entry = texts.entries[i];
        if (DatasetForEntry(entry) == kNoDataset) continue;
        anyText = true;
        textBytes += kDatasetHeaderLength + entry.length;
    }
    const uint64_t length = kBlockStartLength + textBytes + (texts.hasTime ? kDateDatasetLength : 0);
    // A host handle's size is a signed 32-bit number.
    if (!anyText || length > INT32_MAX) return 0;
    return static_cast<size_t>(length);
}

size_t AssembleFileInfoBlock(const PngTextList &texts, uint8_t *area, size_t room) {
    const size_t length = MeasureFileInfoBlock(texts);
    if (length == 0 || length > room) return 0;
    uint8_t *at = PutBlockStart(area);
    at = PutTextDatasets(at, texts);
    if (texts.hasTime) at = PutDateDataset(at, texts.time);
    PutBigEndian32(area + 8, static_cast<uint32_t>(length - kFileInfoHeaderLength));
    return static_cast<size_t>(at - area);
}
