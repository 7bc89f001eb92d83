// The text entries of a save in the form png_set_text takes them.
#ifndef KORVANE_WRITE_TEXTS_H
#define KORVANE_WRITE_TEXTS_H

#include <png.h>

#include "codec/PngText.h"

// One block of global memory holding a png_text per entry followed by a
// zero-terminated copy of each entry's text. libpng measures a text with
// strlen, so a zero byte inside a text would cut the chunk short without a
// word; each one becomes a space instead, and the chunk keeps its full
// length. Null when the block cannot be allocated.
png_textp CopyTextsForLibpng(const PngTextList &texts);
void ReleaseTextCopies(png_textp copies);

#endif
