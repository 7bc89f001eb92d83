// Reading the image rows in the module's read row format, and the chunks
// after them.
#include <setjmp.h>
#include <string.h>

#include "codec/CodecRecord.h"
#include "codec/ImageDataBound.h"
#include "codec/ReadCodec.h"
#include "plugin/GlobalBlock.h"

namespace {

// Depth 1 stays packed (the module inverts it as it copies the row, since
// png_set_invert_mono leaves palette rows alone); 2 and 4 become a byte per
// pixel, indices as they are and gray scaled to 0-255; 16 keeps the high byte
// of each sample. Nothing else changes: no gamma, no alpha from tRNS.
void ChooseRowFormat(png_structp png, int bitDepth, int colorType) {
    if (bitDepth == 2 || bitDepth == 4) {
        if (colorType == PNG_COLOR_TYPE_PALETTE)
            png_set_packing(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
    }
    if (bitDepth == 16) png_set_strip_16(png);
}

// libpng's pieces of image data: 8 KiB unless set otherwise.
const png_size_t kLibpngReadPiece = 8192;

// Before the last row is whole, libpng inflates only what each row needs, so
// the data it takes costs no more than the file's own size, however the
// encoder cut it into blocks and chunks. Once the last row is whole, libpng
// goes on to inflate all that follows, which a small file can make gigabytes
// of: that part is bounded. libpng calls a row's user transform when the row
// is whole and before it looks for the end of the data, so that is where the
// bound is set; the row's pixels are left alone. libpng's later reads are
// made no larger than the bound, so that the read that reaches it adds
// little to inflate.
void BoundDataOnceTheLastRowIsWhole(png_structp png, png_row_infop, png_bytep) {
    CodecRecord *record = static_cast<CodecRecord *>(png_get_io_ptr(png));
    if (record->rowsLeft != 1) return;
    record->stream.imageDataBytes = 0;
    record->stream.imageDataBound = record->lastRowDataBound;
    const uint64_t piece = record->lastRowDataBound;
    png_set_compression_buffer_size(png, piece < kLibpngReadPiece ? static_cast<png_size_t>(piece) : kLibpngReadPiece);
}

bool StartRows(png_structp png, png_infop info, int bitDepth, int colorType) {
    if (setjmp(png_jmpbuf(png))) return false;
    ChooseRowFormat(png, bitDepth, colorType);
    png_set_read_user_transform_fn(png, BoundDataOnceTheLastRowIsWhole);
    png_read_update_info(png, info);
    return true;
}

// Without interlace handling libpng delivers the rows of each pass in turn,
// skipping passes that hold no pixel.
uint32_t RowsOverAllPasses(uint32_t width, uint32_t height, int interlaceMethod) {
    if (interlaceMethod == PNG_INTERLACE_NONE) return height;
    uint32_t rows = 0;
    for (int pass = 0; pass < PNG_INTERLACE_ADAM7_PASSES; ++pass)
        if (PNG_PASS_COLS(width, pass) != 0) rows += PNG_PASS_ROWS(height, pass);
    return rows;
}

uint32_t ColumnsOfNextRow(png_structp png, png_infop info) {
    const uint32_t width = png_get_image_width(png, info);
    if (png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) return width;
    return PNG_PASS_COLS(width, png_get_current_pass_number(png));
}

bool ReadWholeRow(png_structp png, png_bytep row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_row(png, row, nullptr);
    return true;
}

// Eight bytes at a time: on a 1-bit image this loop is most of the module's
// own work per row, and byte by byte it made the open measurably slower
// than plain libpng's.
void CopyInverted(const uint8_t *from, uint8_t *to, size_t bytes) {
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= bytes; i += sizeof(uint64_t)) {
        uint64_t word;
        memcpy(&word, from + i, sizeof word);
        word = ~word;
        memcpy(to + i, &word, sizeof word);
    }
    for (; i < bytes; ++i) to[i] = static_cast<uint8_t>(~from[i]);
}

// libpng 1.6 writes a whole image row even when it delivers a shorter pass
// row, so it reads into the module's own row and only the pass row's bytes
// go to the caller.
void CopyRow(const CodecRecord *record, uint32_t columns, uint8_t *row) {
    const size_t bytes = (static_cast<size_t>(columns) * record->pixelBits + 7) / 8;
    if (record->invertRows)
        CopyInverted(record->row, row, bytes);
    else
        memcpy(row, record->row, bytes);
}

// libpng 1.6 finishes the image data inside the last row's read: once the
// row is whole in the module's row and the row count has moved past it, it
// inflates what is left of the data to find the stream's end. When the data
// past the bound is refused there, the row is whole all the same.
bool LastRowMadeBeforeRefusal(png_structp png, png_infop info, const CodecRecord *record) {
    if (!record->stream.imageDataRefused || record->rowsLeft != 1) return false;
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        return png_get_current_pass_number(png) >= PNG_INTERLACE_ADAM7_PASSES;
    return png_get_current_row_number(png) == png_get_image_height(png, info);
}

bool ReadTrailingChunks(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_end(png, info);
    return true;
}

}  // namespace

bool StartImage(PluginState &state) {
    png_structp png = state.codecContext;
    png_infop info = state.imageInfo;
    CodecRecord *record = state.codecRecord;
    const int bitDepth = png_get_bit_depth(png, info);
    // Taken before libpng's info turns to the transformed rows. A whole
    // image row is at least as long as the last pass row.
    record->lastRowDataBound =
        LargestImageData(png_get_image_width(png, info), 1, bitDepth, png_get_channels(png, info), PNG_INTERLACE_NONE);
    if (!StartRows(png, info, bitDepth, png_get_color_type(png, info))) return false;
    record->row = static_cast<uint8_t *>(AllocateGlobalBlock(png_get_rowbytes(png, info)));
    if (record->row == nullptr) return false;
    // The depth and channels of the transformed rows, now that libpng has
    // taken in the row format.
    record->pixelBits = png_get_bit_depth(png, info) * png_get_channels(png, info);
    record->invertRows = bitDepth == 1;
    record->rowsLeft = RowsOverAllPasses(png_get_image_width(png, info), png_get_image_height(png, info),
                                         png_get_interlace_type(png, info));
    return true;
}

// Once a row has failed, libpng's row state is lost, so no further row is
// read.
bool ReadRow(PluginState &state, uint8_t *row) {
    png_structp png = state.codecContext;
    CodecRecord *record = state.codecRecord;
    if (record->rowsLeft == 0) return false;
    const uint32_t columns = ColumnsOfNextRow(png, state.imageInfo);
    if (!ReadWholeRow(png, record->row) && !LastRowMadeBeforeRefusal(png, state.imageInfo, record)) {
        record->rowsLeft = 0;
        return false;
    }
    --record->rowsLeft;
    CopyRow(record, columns, row);
    return true;
}

bool ReadEnd(PluginState &state) { return ReadTrailingChunks(state.codecContext, state.imageInfo); }
