// Turning the data of a tEXt or zTXt chunk into an entry of the read's text
// list. The module parses these chunks itself because libpng 1.6 cuts a text
// at its first zero byte.
#ifndef KORVANE_READ_TEXT_H
#define KORVANE_READ_TEXT_H

#include <stdint.h>

#include "codec/ReadTextList.h"

// The longest text kept: no File Info dataset holds more, so a longer text
// could never reach the host, and keeping or inflating it would only cost
// time and memory.
const uint32_t kLongestKeptText = 255;
const uint32_t kLongestKeyword = 79;
// The longest tEXt chunk whose text can be kept, and the longest zTXt whose
// stream is looked at: chunks longer than this are dropped without reading
// their data into memory.
const uint32_t kLongestPlainTextChunk = kLongestKeyword + 1 + kLongestKeptText;
const uint32_t kLongestTextChunk = 2u << 20;

enum TextOutcome { kTextAdded, kTextDropped, kTextOutOfMemory };

// A chunk whose keyword is missing, empty or longer than 79 bytes, a zTXt
// whose method is not 0 or whose stream does not inflate, and a text longer
// than kLongestKeptText are dropped.
TextOutcome AddTextChunk(ReadTextList *list, bool compressed, const uint8_t *data, uint32_t length);

#endif
