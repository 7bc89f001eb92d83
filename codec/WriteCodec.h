// The codec's write operations on the host's open file. Each reports success
// or failure by its return value; no libpng error unwinds past it.
#ifndef KORVANE_WRITE_CODEC_H
#define KORVANE_WRITE_CODEC_H

#include <stdint.h>

#include "codec/PngText.h"
#include "plugin/PluginState.h"

// Everything the header chunks say about the image, as write-start decides it.
struct PngHeaderPlan {
    uint32_t width;
    uint32_t height;
    int bitDepth;
    int colorType;
    int interlaceMethod;  // 1: the module hands over the reduced rows of each pass
    // PLTE from the three tables when paletteEntries > 0.
    const uint8_t *red;
    const uint8_t *green;
    const uint8_t *blue;
    int paletteEntries;
    bool hasGamma;
    double gamma;
    bool hasChromaticities;
    double whiteX, whiteY, redX, redY, greenX, greenY, blueX, blueY;
    bool hasPhysicalSize;
    uint32_t pixelsPerUnitX;
    uint32_t pixelsPerUnitY;
    int unit;
    const PngTextList *texts;  // tEXt chunks in list order, and tIME; may be null
    uint32_t filterChoice;     // 0-4 one filter, 5 None+Sub+Up, 6 +Average, 7 or bit 8: all five
};

// Creates the write context on the host block's file handle with the state's
// compression level (1 stays 1, anything else is 9).
bool OpenForWriting(PluginState &state);
// Writes the signature and IHDR, gAMA, cHRM, PLTE, pHYs, tIME, tEXt...;
// cHRM is left out when libpng refuses the chromaticities. With more than
// one filter to choose from, each row's filter is then chosen by the module
// as the row is written (codec/RowFilterChoice.h).
bool WriteHeader(PluginState &state, const PngHeaderPlan &plan);
bool WriteRow(PluginState &state, const uint8_t *row);
// Flushes the compressed data and writes IEND.
bool WriteEnd(PluginState &state);

#endif
