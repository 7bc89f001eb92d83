#include "fileinfo/TextExport.h"

#include "fileinfo/DateCreated.h"
#include "fileinfo/FileInfoFormat.h"
#include "fileinfo/KeywordTable.h"
#include "fileinfo/ResourceWalk.h"

namespace {

// At most this many entries are filled, "Software" included.
constexpr int32_t kMostEntries = 19;
constexpr uint32_t kHostSignature = HOST_FOURCC('8', 'B', 'I', 'M');

constexpr char kSoftwareKeyword[] = "Software";
constexpr uint8_t kSoftwareText[] = {'I', 'm', 'a', 'g', 'e', ' ', 'H', 'o', 's', 't'};

struct ExportWork {
    PngTextList *texts;
    bool addSoftware;  // the host signs itself "8BIM"
    int32_t limit;
};

void AppendEntry(PngTextList &texts, const char *keyword, const uint8_t *text, uint32_t length) {
    PngTextEntry &entry = texts.entries[texts.count++];
    entry.compression = -1;
    entry.keyword = keyword;
    entry.text = text;
    entry.length = length;
}

// Each File Info block starts the list afresh; a date found earlier stays.
void StartList(void *context) {
    auto &work = *static_cast<ExportWork *>(context);
    work.texts->count = 0;
    if (work.addSoftware && work.limit > 0)
        AppendEntry(*work.texts, kSoftwareKeyword, kSoftwareText, sizeof kSoftwareText);
}

void TakeDate(PngTextList &texts, const uint8_t *data, uint32_t length) {
    DecodeDateCreated(data, length, &texts.time);
    texts.hasTime = true;
}

bool TakeDataset(void *context, uint8_t dataset, const uint8_t *data, uint32_t length) {
    auto &work = *static_cast<ExportWork *>(context);
    PngTextList &texts = *work.texts;
    if (texts.count >= work.limit) return false;
    if (dataset == kDatasetDateCreated) {
        TakeDate(texts, data, length);
        return true;
    }
    const char *keyword = KeywordForDataset(dataset);
    if (keyword != nullptr) AppendEntry(texts, keyword, data, length);
    return true;
}

int32_t EntryLimit(const PngTextList &texts) {
    if (texts.entries == nullptr || texts.room < 0) return 0;
    return texts.room < kMostEntries ? texts.room : kMostEntries;
}

}  // namespace

void FileInfoToText(PluginState &state, PngTextList *texts) {
    if (texts == nullptr) return;
    const HostFormatBlock *block = state.hostBlock;
    if (block->imageResources == nullptr) return;
    ExportWork work = {texts, block->hostSignature == kHostSignature, EntryLimit(*texts)};
    const FileInfoVisitor visitor = {&work, StartList, TakeDataset};
    WalkImageResources(static_cast<const uint8_t *>(block->imageResources->data), block->imageResourcesSize, visitor);
}
