// The codec's read operations on the host's open file. Each reports success
// or failure by its return value; no libpng error unwinds past it.
#ifndef KORVANE_READ_CODEC_H
#define KORVANE_READ_CODEC_H

#include <stdint.h>

#include "codec/PngText.h"
#include "plugin/PluginState.h"

// What read-start needs to know of the image once the header chunks are read.
struct PngImageHeader {
    uint32_t width;
    uint32_t height;
    int bitDepth;
    int colorType;
    int interlaceMethod;
    bool hasGamma;  // a gAMA chunk with a non-zero value
    float gamma;    // its value / 100000
    bool hasPhysicalSize;
    uint32_t pixelsPerUnitX;
    uint32_t pixelsPerUnitY;
    int unit;  // 0 unknown, 1 metre
    int paletteEntries;
};

// Creates the read context on the host block's file handle and reads the
// signature and every chunk up to the first image data chunk. The palette
// lands in the host block's three look-up tables (never past entry 255).
bool OpenForReading(PluginState &state);
void DescribeImage(const PluginState &state, PngImageHeader *header);
// Sets up row reading in the module's read row format, by bit depth: 1 packed
// and inverted, 2 and 4 one byte per pixel (gray scaled, indices as they
// are), 8 as stored, 16 the high byte. No interlace handling: an interlaced
// file delivers the reduced rows of each pass in turn.
bool StartImage(PluginState &state);
bool ReadRow(PluginState &state, uint8_t *row);
// Reads the chunks after the image data up to IEND.
bool ReadEnd(PluginState &state);

// The text chunks met so far (tEXt and zTXt, in file order, zTXt already
// decompressed, each with its full length) and the tIME chunk if any.
void GetReadTexts(const PluginState &state, PngTextList *texts);

#endif
