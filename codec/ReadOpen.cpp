// Opening a read: the read context on the host's file, and every chunk up to
// the first image data chunk.
#include <setjmp.h>

#include "codec/CodecMemory.h"
#include "codec/CodecRecord.h"
#include "codec/ReadCodec.h"
#include "codec/ReadIo.h"
#include "plugin/GlobalBlock.h"

namespace {

const png_uint_32 kLargestSide = 32767;
const int kLargestPalette = 256;

// The chunks of the module's table that libpng reads and keeps, five bytes
// each. Every other chunk libpng knows (iCCP, sRGB, iTXt, sPLT, eXIf, ...)
// it is told to skip, so that its checks of them never refuse a file; tEXt
// and zTXt are among those, as the module reads them itself.
const png_byte kChunksLibpngKeeps[] = "gAMA\0sBIT\0cHRM\0bKGD\0pHYs\0oFFs\0hIST\0tIME";
const int kChunksLibpngKeepsCount = sizeof kChunksLibpngKeeps / 5;

// libpng's own error function would print the message; all the module needs
// is the jump back into the operation that failed.
void FailOperation(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

void ConfigureReading(png_structp png) {
    // A CRC mismatch fails the read in every chunk, ancillary ones included.
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    // What libpng calls benign (misplaced or malformed ancillary chunks) the
    // module's own chunk table has already judged.
    png_set_benign_errors(png, 1);
    png_set_user_limits(png, kLargestSide, kLargestSide);
    // libpng keeps no long chunk in memory here, so its limit on them would
    // only refuse files with a long chunk that is skipped anyway.
    png_set_chunk_malloc_max(png, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kChunksLibpngKeeps, kChunksLibpngKeepsCount);
}

bool ReadHeaderChunks(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    ConfigureReading(png);
    png_read_info(png, info);
    return true;
}

// Entries past the palette's length keep what the host put there.
int CopyPalette(png_structp png, png_infop info, HostFormatBlock *block) {
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) == 0) return 0;
    if (entries > kLargestPalette) entries = kLargestPalette;
    for (int i = 0; i < entries; ++i) {
        block->redLookUpTable[i] = palette[i].red;
        block->greenLookUpTable[i] = palette[i].green;
        block->blueLookUpTable[i] = palette[i].blue;
    }
    return entries;
}

bool CreateReadContext(PluginState &state, CodecRecord *record) {
    state.codecContext = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, FailOperation, IgnoreWarning, nullptr,
                                                  CodecAllocate, CodecRelease);
    if (state.codecContext == nullptr) return false;
    state.imageInfo = png_create_info_struct(state.codecContext);
    if (state.imageInfo == nullptr) return false;
    AttachFileInput(state.codecContext, record);
    return true;
}

}  // namespace

// On failure whatever was allocated stays referenced from the state, for
// ReleaseReadCodec.
bool OpenForReading(PluginState &state) {
    CodecRecord *record = static_cast<CodecRecord *>(AllocateGlobalBlock(sizeof(CodecRecord)));
    if (record == nullptr) return false;
    state.codecRecord = record;
    record->fileHandle = state.hostBlock->fileHandle;
    if (!CreateReadContext(state, record) || !ReadHeaderChunks(state.codecContext, state.imageInfo)) return false;
    record->paletteEntries = CopyPalette(state.codecContext, state.imageInfo, state.hostBlock);
    return true;
}
