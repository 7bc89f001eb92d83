// Text entries as the module hands them between the File Info exchange and
// the codec: a keyword, and a text of a given length that need not be
// terminated and may hold zero bytes.
#ifndef KORVANE_PNG_TEXT_H
#define KORVANE_PNG_TEXT_H

#include <stdint.h>

#include <png.h>

struct PngTextEntry {
    int compression;      // -1 plain text chunk (tEXt), 0 compressed (zTXt)
    const char *keyword;  // zero-terminated
    const uint8_t *text;  // length bytes, not terminated
    uint32_t length;
};

// A list of text entries with room for `room` of them, and the modification
// time that goes with it.
struct PngTextList {
    PngTextEntry *entries;
    int32_t room;
    int32_t count;
    bool hasTime;
    png_time time;
};

#endif
