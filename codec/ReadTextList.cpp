#include "codec/ReadTextList.h"

#include <string.h>
#include <windows.h>

#include "plugin/GlobalBlock.h"

struct TextBlock {
    TextBlock *older;
    uint32_t size;  // bytes after the header
    uint32_t used;
};

namespace {

const int32_t kFirstRoom = 16;
const uint32_t kFirstBlockBytes = 4096;
// Past this a block stops doubling: a file of very many texts then takes one
// more block of this size each time, and never leaves much unused.
const uint32_t kLargestBlockBytes = 1u << 20;

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

// The room doubles, so a list of n texts is copied about n times in all.
bool MakeRoom(ReadTextList *list) {
    if (list->room > INT32_MAX / 2) return false;
    const int32_t room = list->room == 0 ? kFirstRoom : 2 * list->room;
    const size_t size = sizeof(PngTextEntry) * static_cast<size_t>(room);
    void *entries = list->entries == nullptr ? AllocateGlobalBlock(size) : GrowGlobalBlock(list->entries, size);
    if (entries == nullptr) return false;
    list->entries = static_cast<PngTextEntry *>(entries);
    list->room = room;
    return true;
}

uint32_t NextBlockBytes(const TextBlock *newest, uint32_t needed) {
    uint32_t bytes = newest == nullptr ? kFirstBlockBytes : newest->size;
    if (newest != nullptr && bytes < kLargestBlockBytes) bytes *= 2;
    return bytes < needed ? needed : bytes;
}

// Room for bytes in the newest block, or in a new one; null when memory runs
// out.
uint8_t *TakeBytes(ReadTextList *list, uint32_t bytes) {
    TextBlock *block = list->blocks;
    if (block == nullptr || block->size - block->used < bytes) {
        const uint32_t size = NextBlockBytes(block, bytes);
        block = static_cast<TextBlock *>(AllocateGlobalBlock(sizeof(TextBlock) + size));
        if (block == nullptr) return nullptr;
        *block = TextBlock{list->blocks, size, 0};
        list->blocks = block;
    }
    uint8_t *taken = reinterpret_cast<uint8_t *>(block + 1) + block->used;
    block->used += bytes;
    return taken;
}

}  // namespace

bool AppendReadText(ReadTextList *list, int compression, const uint8_t *keyword, uint32_t keywordLength,
                    const uint8_t *text, uint32_t textLength) {
    if (list->count == list->room && !MakeRoom(list)) return false;
    // The zero byte after the keyword comes with the block's zero fill.
    uint8_t *bytes = TakeBytes(list, keywordLength + 1 + textLength);
    if (bytes == nullptr) return false;
    memcpy(bytes, keyword, keywordLength);
    if (textLength > 0) memcpy(bytes + keywordLength + 1, text, textLength);
    list->entries[list->count++] =
        PngTextEntry{compression, reinterpret_cast<const char *>(bytes), bytes + keywordLength + 1, textLength};
    return true;
}

void ReleaseReadTexts(ReadTextList *list) {
    for (TextBlock *block = list->blocks; block != nullptr;) {
        TextBlock *older = block->older;
        ReleaseGlobalBlock(block);
        block = older;
    }
    ReleaseGlobalBlock(list->entries);
    *list = ReadTextList{};
}
