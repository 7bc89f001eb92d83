// The text chunks of a read, in file order, in global memory. Each entry owns
// one block that holds its keyword, a zero byte, then its text.
#ifndef KORVANE_READ_TEXT_LIST_H
#define KORVANE_READ_TEXT_LIST_H

#include <stdint.h>

#include "codec/PngText.h"

struct ReadTextList {
    PngTextEntry *entries;
    int32_t count;
    int32_t room;
};

// Adds entry, which hands its block over to the list. False, with the entry's
// block still the caller's, when the list cannot grow.
bool AppendReadText(ReadTextList *list, const PngTextEntry &entry);
void ReleaseReadTexts(ReadTextList *list);

#endif
