// Plain libpng doing what the module does, for the benchmark to measure the
// module against: encoding with the same deflate settings, filters, buffer
// size and interlace, and decoding with the same row transformations.
#ifndef KORVANE_BENCH_BARE_LIBPNG_H
#define KORVANE_BENCH_BARE_LIBPNG_H

#include "pnghost/host/HostImage.h"

// The filters the module's default choice gives the image.
int DefaultFilters(const HostImage &image);

// Writes the image to the descriptor at the given zlib level; false on error.
bool BareEncode(const HostImage &image, int level, int filters, bool interlace, int file);
// Decodes the PNG on the descriptor: row by row into one row buffer, or with
// libpng's de-interlacing into a whole image for an interlaced file.
bool BareDecode(int file);

#endif
