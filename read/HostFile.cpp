#include "read/HostFile.h"

#include <windows.h>

#include "FormatHost.h"

int16_t SeekHostFile(int32_t file, int16_t origin, int32_t offset) {
    _llseek(file, offset, origin);
    return kResultNoError;
}

int16_t ReadHostFile(int32_t file, int32_t *count, void *buffer) {
    const UINT read = _lread(file, buffer, static_cast<uint16_t>(*count));
    if (read == static_cast<UINT>(HFILE_ERROR)) {
        *count = 0;
        return kResultProbeReadError;
    }
    *count = static_cast<int32_t>(read);
    return kResultNoError;
}
