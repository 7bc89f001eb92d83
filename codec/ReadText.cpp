#include "codec/ReadText.h"

#include <string.h>

#include "codec/TextInflate.h"

namespace {

// The keyword's length, or 0 when the data holds no usable keyword.
uint32_t KeywordLength(const uint8_t *data, uint32_t length) {
    const uint32_t searched = length < kLongestKeyword + 1 ? length : kLongestKeyword + 1;
    const void *end = memchr(data, 0, searched);
    return end == nullptr ? 0 : static_cast<uint32_t>(static_cast<const uint8_t *>(end) - data);
}

TextOutcome Keep(ReadTextList *list, int compression, const uint8_t *data, uint32_t keywordLength,
                 const uint8_t *text, uint32_t textLength) {
    return AppendReadText(list, compression, data, keywordLength, text, textLength) ? kTextAdded
                                                                                     : kTextOutOfMemory;
}

TextOutcome AddPlainText(ReadTextList *list, const uint8_t *data, uint32_t length, uint32_t keywordLength) {
    const uint32_t textLength = length - keywordLength - 1;
    if (textLength > kLongestKeptText) return kTextDropped;
    return Keep(list, -1, data, keywordLength, data + keywordLength + 1, textLength);
}

// Inflated once, and only as far as decides it: a stream still going past
// kLongestKeptText bytes is dropped there.
TextOutcome AddCompressedText(ReadTextList *list, const uint8_t *data, uint32_t length, uint32_t keywordLength) {
    const uint32_t streamStart = keywordLength + 2;
    if (length < streamStart || data[keywordLength + 1] != 0) return kTextDropped;
    uint8_t text[kLongestKeptText];
    uint32_t textLength = 0;
    const InflateOutcome outcome =
        InflateText(data + streamStart, length - streamStart, text, kLongestKeptText, &textLength);
    if (outcome == kInflateOutOfMemory) return kTextOutOfMemory;
    if (outcome != kInflated) return kTextDropped;
    return Keep(list, 0, data, keywordLength, text, textLength);
}

}  // namespace

TextOutcome AddTextChunk(ReadTextList *list, bool compressed, const uint8_t *data, uint32_t length) {
    const uint32_t keywordLength = KeywordLength(data, length);
    if (keywordLength == 0) return kTextDropped;
    return compressed ? AddCompressedText(list, data, length, keywordLength)
                      : AddPlainText(list, data, length, keywordLength);
}
