// Turning the data of a tEXt or zTXt chunk into an entry of the read's text
// list. The module parses these chunks itself because libpng 1.6 cuts a text
// at its first zero byte.
#ifndef KORVANE_READ_TEXT_H
#define KORVANE_READ_TEXT_H

#include <stdint.h>

#include "codec/ReadTextList.h"

// Texts longer than this, once inflated, are dropped; the chunk data the
// module holds in memory to find out is limited to twice as much.
const uint32_t kLongestText = 1u << 20;
const uint32_t kLongestTextChunk = 2 * kLongestText;

enum TextOutcome { kTextAdded, kTextDropped, kTextOutOfMemory };

// A chunk whose keyword is missing, empty or longer than 79 bytes, a zTXt
// whose method is not 0 or whose stream does not inflate, and a text longer
// than kLongestText are dropped.
TextOutcome AddTextChunk(ReadTextList *list, bool compressed, const uint8_t *data, uint32_t length);

#endif
