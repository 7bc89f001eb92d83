// The file input of a read: libpng's read function over the host's file
// handle, every byte passing the module's chunk follower on its way.
#ifndef KORVANE_READ_IO_H
#define KORVANE_READ_IO_H

#include <png.h>

#include "codec/CodecRecord.h"

void AttachFileInput(png_structp png, CodecRecord *record);

#endif
