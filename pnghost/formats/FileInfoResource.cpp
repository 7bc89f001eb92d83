#include "pnghost/formats/FileInfoResource.h"

#include <algorithm>

namespace {

const uint16_t kFileInfoId = 0x0404;
const uint8_t kTagMarker = 0x1C;
const uint8_t kApplicationRecord = 2;

void PutBig(std::vector<uint8_t> *bytes, uint32_t value, int size) {
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) bytes->push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Big(const std::vector<uint8_t> &bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | bytes[at + static_cast<size_t>(i)];
    return value;
}

void PutDataset(std::vector<uint8_t> *record, int number, const std::string &text) {
    record->insert(record->end(), {kTagMarker, kApplicationRecord, static_cast<uint8_t>(number)});
    PutBig(record, static_cast<uint32_t>(text.size()), 2);
    record->insert(record->end(), text.begin(), text.end());
}

// One dataset of an IPTC record: its tag (marker, record, number, a 16-bit
// length) and its text.
struct Dataset {
    uint8_t record = 0;
    uint8_t number = 0;
    size_t text = 0;
    size_t length = 0;
    size_t next = 0;
};

// The dataset that starts at `at`, before `end`; false where none does. A set
// top bit of the length announces an extended length, which the editor's
// captions never need.
bool ReadDataset(const std::vector<uint8_t> &bytes, size_t at, size_t end, Dataset *dataset) {
    if (at + 5 > end || bytes[at] != kTagMarker) return false;
    const uint32_t length = Big(bytes, at + 3, 2);
    if ((length & 0x8000) != 0 || at + 5 + length > end) return false;
    *dataset = Dataset{bytes[at + 1], bytes[at + 2], at + 5, length, at + 5 + length};
    return true;
}

// The datasets of one IPTC record of `size` bytes at `at`.
void ListRecord(const std::vector<uint8_t> &bytes, size_t at, size_t size, std::vector<IptcDataset> *datasets) {
    const size_t end = at + size;
    Dataset dataset;
    for (; ReadDataset(bytes, at, end, &dataset); at = dataset.next)
        if (dataset.record == kApplicationRecord)
            datasets->push_back(IptcDataset{dataset.number, std::string(bytes.begin() + static_cast<long>(dataset.text),
                                                                        bytes.begin() + static_cast<long>(dataset.next))});
}

size_t Even(size_t size) { return size + (size & 1); }

const IptcDataset *EditOf(const std::vector<IptcDataset> &edits, int number) {
    for (const IptcDataset &edit : edits)
        if (edit.number == number) return &edit;
    return nullptr;
}

// The record of `size` bytes at `at` with the edits made; bytes past the
// last dataset that can be read stay at the end.
std::vector<uint8_t> EditRecord(const std::vector<uint8_t> &bytes, size_t at, size_t size,
                                const std::vector<IptcDataset> &edits) {
    std::vector<uint8_t> record;
    std::vector<int> placed;
    const size_t end = at + size;
    Dataset dataset;
    for (; ReadDataset(bytes, at, end, &dataset); at = dataset.next) {
        const int number = dataset.number;
        const IptcDataset *edit = dataset.record == kApplicationRecord ? EditOf(edits, number) : nullptr;
        if (edit == nullptr) {
            record.insert(record.end(), bytes.begin() + static_cast<long>(at),
                          bytes.begin() + static_cast<long>(dataset.next));
        } else if (std::find(placed.begin(), placed.end(), number) == placed.end()) {
            placed.push_back(number);
            if (!edit->text.empty()) PutDataset(&record, number, edit->text);
        }
    }
    for (const IptcDataset &edit : edits)
        if (!edit.text.empty() && std::find(placed.begin(), placed.end(), edit.number) == placed.end())
            PutDataset(&record, edit.number, edit.text);
    record.insert(record.end(), bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(end));
    return record;
}

std::vector<IptcDataset> GivenTexts(const std::vector<IptcDataset> &edits) {
    std::vector<IptcDataset> given;
    for (const IptcDataset &edit : edits)
        if (!edit.text.empty()) given.push_back(edit);
    return given;
}

// One image resource block: "8BIM", its id, a padded name, the size of its
// data and the data, padded to an even length.
struct ResourceBlock {
    uint32_t id = 0;
    size_t nameEnd = 0;  // where the size field starts
    size_t data = 0;
    size_t size = 0;
    size_t next = 0;  // the next block, or the end of the resources
};

// The block that starts at `at`; false where no whole block does.
bool ReadResourceBlock(const std::vector<uint8_t> &resources, size_t at, ResourceBlock *block) {
    if (at + 12 > resources.size() || Big(resources, at, 4) != 0x3842494D) return false;  // "8BIM"
    block->id = Big(resources, at + 4, 2);
    block->nameEnd = at + 6 + Even(1 + size_t{resources[at + 6]});
    if (block->nameEnd + 4 > resources.size()) return false;
    block->size = Big(resources, block->nameEnd, 4);
    block->data = block->nameEnd + 4;
    if (block->size > resources.size() - block->data) return false;
    block->next = std::min(block->data + Even(block->size), resources.size());
    return true;
}

}  // namespace

std::vector<uint8_t> BuildFileInfoResource(const std::vector<IptcDataset> &datasets) {
    std::vector<uint8_t> record;
    PutDataset(&record, 0, std::string("\0\2", 2));  // Record Version 2
    for (const IptcDataset &dataset : datasets) PutDataset(&record, dataset.number, dataset.text);

    std::vector<uint8_t> block = {'8', 'B', 'I', 'M'};
    PutBig(&block, kFileInfoId, 2);
    block.insert(block.end(), {0, 0});  // the empty name, padded to even
    PutBig(&block, static_cast<uint32_t>(record.size()), 4);
    block.insert(block.end(), record.begin(), record.end());
    if (record.size() % 2 != 0) block.push_back(0);
    return block;
}

std::vector<uint8_t> EditFileInfo(const std::vector<uint8_t> &resources, const std::vector<IptcDataset> &edits) {
    std::vector<uint8_t> edited;
    size_t at = 0;
    bool found = false;
    ResourceBlock block;
    while (ReadResourceBlock(resources, at, &block)) {
        if (block.id == kFileInfoId && !found) {
            found = true;
            const std::vector<uint8_t> record = EditRecord(resources, block.data, block.size, edits);
            edited.insert(edited.end(), resources.begin() + static_cast<long>(at),
                          resources.begin() + static_cast<long>(block.nameEnd));
            PutBig(&edited, static_cast<uint32_t>(record.size()), 4);
            edited.insert(edited.end(), record.begin(), record.end());
            if (record.size() % 2 != 0) edited.push_back(0);
        } else {
            edited.insert(edited.end(), resources.begin() + static_cast<long>(at),
                          resources.begin() + static_cast<long>(block.next));
        }
        at = block.next;
    }
    const std::vector<IptcDataset> given = GivenTexts(edits);
    if (!found && !given.empty()) {
        const std::vector<uint8_t> fileInfo = BuildFileInfoResource(given);
        edited.insert(edited.end(), fileInfo.begin(), fileInfo.end());
    }
    // Bytes the walk could not read as blocks stay last.
    edited.insert(edited.end(), resources.begin() + static_cast<long>(at), resources.end());
    return edited;
}

std::vector<IptcDataset> ListFileInfoDatasets(const std::vector<uint8_t> &resources) {
    std::vector<IptcDataset> datasets;
    size_t at = 0;
    ResourceBlock block;
    while (ReadResourceBlock(resources, at, &block)) {
        if (block.id == kFileInfoId) ListRecord(resources, block.data, block.size, &datasets);
        at = block.next;
    }
    return datasets;
}
