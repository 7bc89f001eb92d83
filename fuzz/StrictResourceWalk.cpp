#include "fuzz/StrictResourceWalk.h"

#include <cstring>

namespace {

const size_t kDatasetHeader = 5;

uint32_t Big(const uint8_t *at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | at[i];
    return value;
}

// The datasets of one File Info block's data; false when the walk ends in it.
bool TakeDatasets(const uint8_t *at, size_t left, std::vector<SaveDataset> *block) {
    while (left > 0) {
        SaveDataset dataset;
        dataset.record = 0;
        if (left < kDatasetHeader || at[0] != 0x1C || at[1] != 2) {
            block->push_back(dataset);
            return false;
        }
        const size_t length = Big(at + 3, 2);
        if (length > left - kDatasetHeader) {
            block->push_back(dataset);
            return false;
        }
        dataset.record = 2;
        dataset.number = at[2];
        dataset.text.assign(reinterpret_cast<const char *>(at + kDatasetHeader), length);
        block->push_back(dataset);
        at += kDatasetHeader + length;
        left -= kDatasetHeader + length;
    }
    return true;
}

}  // namespace

bool WalkResourcesStrictly(const std::vector<uint8_t> &resources, std::vector<std::vector<SaveDataset>> *blocks) {
    const uint8_t *at = resources.data();
    size_t left = resources.size();
    blocks->clear();
    while (left >= 6 && std::memcmp(at, "8BIM", 4) == 0) {
        const uint32_t id = Big(at + 4, 2);
        at += 6;
        left -= 6;
        if (left == 0) return true;
        const size_t name = left >= 2 && at[0] == 0 && at[1] == 0 ? 2 : 1 + size_t{at[0]};
        if (name > left) return true;
        if (name % 2 != 0 && name < left) return false;
        at += name;
        left -= name;
        if (left < 4) return true;
        const size_t size = Big(at, 4);
        at += 4;
        left -= 4;
        if (size > left) return true;
        if (id == 0x0404) {
            blocks->emplace_back();
            if (!TakeDatasets(at, size, &blocks->back())) return true;
        }
        at += size;
        left -= size;
        if (size % 2 != 0 && left > 0) return false;
    }
    return true;
}
