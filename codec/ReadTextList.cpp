#include "codec/ReadTextList.h"

#include <windows.h>

#include "plugin/GlobalBlock.h"

namespace {

const int32_t kRoomStep = 16;

// Grows a block from AllocateGlobalBlock to size bytes, zero-filling the new
// part. Null when it cannot, the block then unchanged at its old address.
void *GrowGlobalBlock(void *address, size_t size) {
    HGLOBAL memory = GlobalHandle(address);
    GlobalUnlock(memory);
    HGLOBAL grown = GlobalReAlloc(memory, size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (grown == nullptr) {
        GlobalLock(memory);
        return nullptr;
    }
    return GlobalLock(grown);
}

bool MakeRoom(ReadTextList *list) {
    const size_t size = sizeof(PngTextEntry) * static_cast<size_t>(list->room + kRoomStep);
    void *entries = list->entries == nullptr ? AllocateGlobalBlock(size) : GrowGlobalBlock(list->entries, size);
    if (entries == nullptr) return false;
    list->entries = static_cast<PngTextEntry *>(entries);
    list->room += kRoomStep;
    return true;
}

}  // namespace

bool AppendReadText(ReadTextList *list, const PngTextEntry &entry) {
    if (list->count == list->room && !MakeRoom(list)) return false;
    list->entries[list->count++] = entry;
    return true;
}

void ReleaseReadTexts(ReadTextList *list) {
    for (int32_t i = 0; i < list->count; ++i) ReleaseGlobalBlock(const_cast<char *>(list->entries[i].keyword));
    ReleaseGlobalBlock(list->entries);
    *list = ReadTextList{};
}
