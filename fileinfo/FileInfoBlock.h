// Builds the File Info resource block that an open hands to the host, from
// the text entries and the time read from the PNG file.
#ifndef KORVANE_FILE_INFO_BLOCK_H
#define KORVANE_FILE_INFO_BLOCK_H

#include <stddef.h>
#include <stdint.h>

#include "codec/PngText.h"

// The length of the block texts give, or 0 when no text of the list becomes
// a dataset (then there is no block: a date is never handed over alone) or
// the block would be longer than a host handle can be.
size_t MeasureFileInfoBlock(const PngTextList &texts);

// Writes the block into area and returns its length; writes nothing and
// returns 0 when there is no block or it would not fit in room bytes.
size_t AssembleFileInfoBlock(const PngTextList &texts, uint8_t *area, size_t room);

#endif
