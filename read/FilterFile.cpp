#include "read/FilterFile.h"

#include <string.h>

#include "read/HostFile.h"

namespace {
const uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
}

void FilterFile(PluginState &state) {
    if (state.result != kResultNoError) return;
    const int32_t file = state.hostBlock->fileHandle;
    SeekHostFile(file, 0, 0);

    uint8_t bytes[sizeof kPngSignature];
    int32_t count = sizeof bytes;
    state.result = ReadHostFile(file, &count, bytes);
    if (state.result != kResultNoError) return;
    if (count < static_cast<int32_t>(sizeof bytes) || memcmp(bytes, kPngSignature, sizeof bytes) != 0) {
        state.result = kResultCannotRead;
        return;
    }
    // The host and a following read-start expect the file at its beginning.
    SeekHostFile(file, 0, 0);
}
