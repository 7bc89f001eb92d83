#include "codec/WriteIo.h"

#include "plugin/GlobalBlock.h"

namespace {

struct WriteRecord {
    HFILE file;
    uint32_t rowsExpected;
    uint32_t rowsWritten;
    RowFilterChoice rowFilter;
};

WriteRecord *RecordOf(png_structp png) { return static_cast<WriteRecord *>(png_get_io_ptr(png)); }

// Anything short of every byte accepted fails the operation in progress; a
// PNG file missing a piece is worthless, so there is no retry.
void PNGCBAPI WriteToFile(png_structp png, png_bytep data, size_t length) {
    const WriteRecord *record = static_cast<const WriteRecord *>(png_get_io_ptr(png));
    const UINT count = static_cast<UINT>(length);
    if (count != length || _lwrite(record->file, reinterpret_cast<LPCCH>(data), count) != count)
        png_error(png, "write failed");
}

// _lwrite hands every byte to the system at once; there is nothing to flush.
void PNGCBAPI FlushNothing(png_structp) {}

}  // namespace

bool AttachFileOutput(png_structp png, HFILE file) {
    WriteRecord *record = static_cast<WriteRecord *>(AllocateGlobalBlock(sizeof(WriteRecord)));
    if (record == nullptr) return false;
    record->file = file;
    png_set_write_fn(png, record, WriteToFile, FlushNothing);
    return true;
}

void ExpectRows(png_structp png, uint32_t rows) { RecordOf(png)->rowsExpected = rows; }

void CountRowWritten(png_structp png) { ++RecordOf(png)->rowsWritten; }

bool AllRowsWritten(png_structp png) {
    const WriteRecord *record = RecordOf(png);
    return record->rowsWritten >= record->rowsExpected;
}

RowFilterChoice *RowFilterChoiceOf(png_structp png) { return &RecordOf(png)->rowFilter; }

void DetachFileOutput(png_structp png) {
    WriteRecord *record = RecordOf(png);
    if (record != nullptr) EndRowFilterChoice(&record->rowFilter);
    ReleaseGlobalBlock(record);
}
