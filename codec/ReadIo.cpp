#include "codec/ReadIo.h"

namespace {

// Anything short of the count asked for fails the operation in progress: the
// codec never seeks, so there is no coming back for the rest.
void ReadFromFile(png_structp png, png_bytep data, size_t length) {
    CodecRecord *record = static_cast<CodecRecord *>(png_get_io_ptr(png));
    const UINT count = static_cast<UINT>(length);
    if (count != length || _lread(record->fileHandle, data, count) != count) png_error(png, "read failed");
    const char *refusal = FollowChunkBytes(&record->stream, &record->texts, data, length);
    if (refusal != nullptr) png_error(png, refusal);
}

}  // namespace

void AttachFileInput(png_structp png, CodecRecord *record) { png_set_read_fn(png, record, ReadFromFile); }
