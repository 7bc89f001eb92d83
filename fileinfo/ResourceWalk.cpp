#include "fileinfo/ResourceWalk.h"

#include <stddef.h>

#include "fileinfo/FileInfoFormat.h"

namespace {

// The part of the data not yet stepped over.
struct Cursor {
    const uint8_t *at;
    size_t left;
};

void StepOver(Cursor &cursor, size_t count) {
    cursor.at += count;
    cursor.left -= count;
}

uint16_t ReadBigEndian16(const uint8_t *at) {
    return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

uint32_t ReadBigEndian32(const uint8_t *at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

bool StartsWithSignature(const Cursor &cursor) {
    if (cursor.left < sizeof kResourceSignature) return false;
    for (size_t i = 0; i < sizeof kResourceSignature; ++i)
        if (cursor.at[i] != kResourceSignature[i]) return false;
    return true;
}

// Hosts may pad a block's data to an even length; the module's own blocks
// are not padded. A zero byte after odd data counts as a pad only when a
// block starts right after it or the data ends with it, so unpadded data
// followed by a block is stepped exactly.
size_t PadAfterData(const Cursor &cursor, uint32_t dataSize) {
    if (dataSize % 2 == 0 || cursor.left == 0 || cursor.at[0] != 0) return 0;
    const Cursor afterPad = {cursor.at + 1, cursor.left - 1};
    return (afterPad.left == 0 || StartsWithSignature(afterPad)) ? 1 : 0;
}

// Whether a name field of nameLength bytes at cursor is followed by a size
// that fits and by data that ends where the data ends or a block starts.
bool BlockFitsAfterName(const Cursor &cursor, size_t nameLength) {
    if (nameLength > cursor.left || cursor.left - nameLength < 4) return false;
    Cursor rest = {cursor.at + nameLength, cursor.left - nameLength};
    const uint32_t dataSize = ReadBigEndian32(rest.at);
    StepOver(rest, 4);
    if (dataSize > rest.left) return false;
    StepOver(rest, dataSize);
    return rest.left == 0 || StartsWithSignature(rest) || PadAfterData(rest, dataSize) == 1;
}

// The length of the name field: a length byte and that many characters, or
// two zero bytes for the empty name. Hosts may pad the field to an even
// length; the pad byte is taken only when the block makes sense with it and
// not without it. 0 when the field does not fit.
size_t MeasureNameField(const Cursor &cursor) {
    if (cursor.left == 0) return 0;
    const bool emptyPadded = cursor.left >= 2 && cursor.at[0] == 0 && cursor.at[1] == 0;
    const size_t exact = emptyPadded ? 2 : 1 + size_t{cursor.at[0]};
    if (exact > cursor.left) return 0;
    const bool mayBePadded = exact % 2 == 1 && exact < cursor.left && cursor.at[exact] == 0;
    if (mayBePadded && !BlockFitsAfterName(cursor, exact) && BlockFitsAfterName(cursor, exact + 1)) return exact + 1;
    return exact;
}

// Hands over the datasets of one File Info block's data; false when the walk
// is to end. A dataset that runs past its block ends the walk.
bool WalkDatasets(Cursor block, const FileInfoVisitor &visitor) {
    visitor.enterBlock(visitor.context);
    while (block.left > 0) {
        if (block.left < kDatasetHeaderLength) return false;
        if (block.at[0] != kDatasetMarker || block.at[1] != kApplicationRecord) return false;
        const uint16_t length = ReadBigEndian16(block.at + 3);
        if (length > block.left - kDatasetHeaderLength) return false;
        if (!visitor.takeDataset(visitor.context, block.at[2], block.at + kDatasetHeaderLength, length)) return false;
        StepOver(block, kDatasetHeaderLength + length);
    }
    return true;
}

// Steps over one resource block, walking it when it is File Info; false
// when the walk is to end.
bool StepOverBlock(Cursor &cursor, const FileInfoVisitor &visitor) {
    if (!StartsWithSignature(cursor)) return false;
    StepOver(cursor, sizeof kResourceSignature);
    if (cursor.left < 2) return false;
    const uint16_t id = ReadBigEndian16(cursor.at);
    StepOver(cursor, 2);
    const size_t nameLength = MeasureNameField(cursor);
    if (nameLength == 0) return false;
    StepOver(cursor, nameLength);
    if (cursor.left < 4) return false;
    const uint32_t dataSize = ReadBigEndian32(cursor.at);
    StepOver(cursor, 4);
    if (dataSize > cursor.left) return false;
    const Cursor data = {cursor.at, dataSize};
    StepOver(cursor, dataSize);
    if (id == kFileInfoResourceId && !WalkDatasets(data, visitor)) return false;
    StepOver(cursor, PadAfterData(cursor, dataSize));
    return true;
}

}  // namespace

void WalkImageResources(const uint8_t *data, int32_t size, const FileInfoVisitor &visitor) {
    if (data == nullptr || size <= 0) return;
    Cursor cursor = {data, static_cast<size_t>(size)};
    while (cursor.left > 0)
        if (!StepOverBlock(cursor, visitor)) return;
}
