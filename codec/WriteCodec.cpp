#include "codec/WriteCodec.h"

#include <setjmp.h>

#include <zlib.h>

#include "codec/CodecMemory.h"
#include "codec/WriteIo.h"

namespace {

// Every libpng error ends the operation in progress with a false result;
// the message is of no use to the user, who is told by the host.
[[noreturn]] void PNGCBAPI StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Warnings concern optional data libpng leaves out; the save goes on.
void PNGCBAPI IgnoreWarning(png_structp, png_const_charp) {}

// Fixed deflate settings, each set explicitly: libpng's own choice of
// strategy for filtered rows is Z_FILTERED, which the module does not use.
// The compressed-data buffer sets the size of every image data chunk but the
// last.
void SetCompression(png_structp png, uint32_t level) {
    png_set_compression_level(png, level == 1 ? Z_BEST_SPEED : Z_BEST_COMPRESSION);
    png_set_compression_window_bits(png, 15);
    png_set_compression_mem_level(png, 8);
    png_set_compression_method(png, Z_DEFLATED);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_compression_buffer_size(png, 16384);
}

}  // namespace

// Each record is entered in the state as soon as it exists, so that
// ReleaseWriteCodec frees whatever a failure leaves behind.
bool OpenForWriting(PluginState &state) {
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning,
                                                nullptr, CodecAllocate, CodecRelease);
    if (png == nullptr) return false;
    state.codecContext = png;
    state.imageInfo = png_create_info_struct(png);
    if (state.imageInfo == nullptr) return false;
    if (!AttachFileOutput(png, state.hostBlock->fileHandle)) return false;
    SetCompression(png, state.compressionLevel);
    return true;
}

// The row's filter, when the save chooses one per row, is handed to libpng
// just before the row.
bool WriteRow(PluginState &state, const uint8_t *row) {
    png_structp png = state.codecContext;
    const int filterMask = NextRowFilterMask(RowFilterChoiceOf(png), row);
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    if (filterMask != 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, filterMask);
    png_write_row(png, row);
    CountRowWritten(png);
    return true;
}

namespace {

bool EndImageData(png_structp png) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_write_end(png, nullptr);
    return true;
}

// A save that stopped part-way: what the compressor holds goes out as image
// data, then IEND.
bool EndIncompleteImageData(png_structp png) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_write_flush(png);
    png_write_end(png, nullptr);
    return true;
}

// libpng refuses to end a file before any image data chunk went out; the
// file still gets its end chunk, behind the incomplete image.
bool WriteEndChunk(png_structp png) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    static const png_byte kEnd[5] = "IEND";
    png_write_chunk(png, kEnd, nullptr, 0);
    return true;
}

}  // namespace

bool WriteEnd(PluginState &state) {
    png_structp png = state.codecContext;
    if (AllRowsWritten(png)) return EndImageData(png);
    return EndIncompleteImageData(png) || WriteEndChunk(png);
}
