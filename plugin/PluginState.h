// The module's persistent state block, kept by the host between calls.
#ifndef KORVANE_PLUGIN_STATE_H
#define KORVANE_PLUGIN_STATE_H

#include <stdint.h>

#include <png.h>

#include "FormatHost.h"

// Reset values of the save options.
enum {
    kResetInterlace = 0,
    kResetWriteFileInfo = 0,
    kResetFilterChoice = 6,
    kResetCompressionLevel = 9
};

// Result recorded when a start step finds a host service missing. The check
// has already told the user in an alert, so the step ends with the code the
// host takes as a quiet stop rather than with an error it would report again.
enum { kResultServicesMissing = kResultUserCancelled };

struct PluginState {
    HostFormatBlock *hostBlock;  // the parameter block of the current call
    int16_t result;              // result code of the current call
    HostBufferId bufferId;       // the RowBuffer's host buffer, 0 when none
    void *bufferPointer;         // the RowBuffer's locked address
    int32_t rowBytes;
    uint32_t alphaFlag;
    uint32_t interlace;
    uint32_t writeFileInfo;
    uint32_t filterChoice;
    uint32_t compressionLevel;
    // libpng keeps its records opaque, so the block holds references to them,
    // and to the module's own records that go with them; nothing the codec
    // keeps points into the block itself.
    png_structp codecContext;
    png_infop imageInfo;
    struct CodecRecord *codecRecord;
    // Gamma correction of the rows of an open, built at read-start.
    uint8_t gammaTable[256];
    uint32_t gammaApplies;
};

// Records code as the call's result unless an earlier failure already did:
// the first failure wins.
inline void RecordResult(PluginState &state, int16_t code) {
    if (state.result == kResultNoError) state.result = code;
}

#endif
