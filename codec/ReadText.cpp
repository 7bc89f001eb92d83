#include "codec/ReadText.h"

#include <string.h>

#include "codec/TextInflate.h"
#include "plugin/GlobalBlock.h"

namespace {

const uint32_t kLongestKeyword = 79;

// The keyword's length, or 0 when the data holds no usable keyword.
uint32_t KeywordLength(const uint8_t *data, uint32_t length) {
    const uint32_t searched = length < kLongestKeyword + 1 ? length : kLongestKeyword + 1;
    const void *end = memchr(data, 0, searched);
    return end == nullptr ? 0 : static_cast<uint32_t>(static_cast<const uint8_t *>(end) - data);
}

// One block for the keyword, its zero byte and textLength bytes of text.
bool MakeEntry(const uint8_t *keyword, uint32_t keywordLength, uint32_t textLength, PngTextEntry *entry) {
    uint8_t *block = static_cast<uint8_t *>(AllocateGlobalBlock(keywordLength + 1 + textLength));
    if (block == nullptr) return false;
    memcpy(block, keyword, keywordLength);
    entry->keyword = reinterpret_cast<const char *>(block);
    entry->text = block + keywordLength + 1;
    entry->length = textLength;
    return true;
}

TextOutcome Keep(ReadTextList *list, const PngTextEntry &entry) {
    if (AppendReadText(list, entry)) return kTextAdded;
    ReleaseGlobalBlock(const_cast<char *>(entry.keyword));
    return kTextOutOfMemory;
}

TextOutcome AddPlainText(ReadTextList *list, const uint8_t *data, uint32_t length, uint32_t keywordLength) {
    const uint32_t textLength = length - keywordLength - 1;
    if (textLength > kLongestText) return kTextDropped;
    PngTextEntry entry{-1, nullptr, nullptr, 0};
    if (!MakeEntry(data, keywordLength, textLength, &entry)) return kTextOutOfMemory;
    memcpy(const_cast<uint8_t *>(entry.text), data + keywordLength + 1, textLength);
    return Keep(list, entry);
}

TextOutcome FromInflate(InflateOutcome outcome) {
    return outcome == kInflateOutOfMemory ? kTextOutOfMemory : kTextDropped;
}

// The stream is inflated twice: once to learn the text's length, then into
// a block of exactly that size.
TextOutcome AddCompressedText(ReadTextList *list, const uint8_t *data, uint32_t length, uint32_t keywordLength) {
    const uint32_t streamStart = keywordLength + 2;
    if (length < streamStart || data[keywordLength + 1] != 0) return kTextDropped;
    const uint8_t *stream = data + streamStart;
    const uint32_t streamLength = length - streamStart;
    uint32_t textLength = 0;
    InflateOutcome outcome = InflateText(stream, streamLength, nullptr, kLongestText, &textLength);
    if (outcome != kInflated) return FromInflate(outcome);
    PngTextEntry entry{0, nullptr, nullptr, 0};
    if (!MakeEntry(data, keywordLength, textLength, &entry)) return kTextOutOfMemory;
    outcome = InflateText(stream, streamLength, const_cast<uint8_t *>(entry.text), textLength, &textLength);
    if (outcome != kInflated) {
        ReleaseGlobalBlock(const_cast<char *>(entry.keyword));
        return FromInflate(outcome);
    }
    return Keep(list, entry);
}

}  // namespace

TextOutcome AddTextChunk(ReadTextList *list, bool compressed, const uint8_t *data, uint32_t length) {
    const uint32_t keywordLength = KeywordLength(data, length);
    if (keywordLength == 0) return kTextDropped;
    return compressed ? AddCompressedText(list, data, length, keywordLength)
                      : AddPlainText(list, data, length, keywordLength);
}
