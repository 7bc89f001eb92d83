// The text chunks of a read, in file order, in global memory. Keywords and
// texts are copied into a few blocks that grow geometrically, so that a file
// of many small texts costs a handful of blocks, not one block a text.
#ifndef KORVANE_READ_TEXT_LIST_H
#define KORVANE_READ_TEXT_LIST_H

#include <stdint.h>

#include "codec/PngText.h"

struct TextBlock;

struct ReadTextList {
    PngTextEntry *entries;
    int32_t count;
    int32_t room;
    TextBlock *blocks;  // the newest block, which leads to the older ones
};

// Copies the keyword (keywordLength bytes, no zero among them) and the text
// into the list's blocks and appends an entry for them. False, the list
// unchanged, when memory runs out.
bool AppendReadText(ReadTextList *list, int compression, const uint8_t *keyword, uint32_t keywordLength,
                    const uint8_t *text, uint32_t textLength);
void ReleaseReadTexts(ReadTextList *list);

#endif
