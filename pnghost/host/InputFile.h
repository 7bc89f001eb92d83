// Opening the files pnghost reads: IN, --palette, --resources, the module
// (on Linux; Windows loads it itself). Every one
// goes through the same check, so that none can hang on a FIFO, read a
// device without end or take more memory than its use allows.
#ifndef PNGHOST_INPUT_FILE_H
#define PNGHOST_INPUT_FILE_H

#include <cstdint>
#include <cstdio>
#include <string>

// The largest file each use can take. The module reaches an image file
// through 32-bit offsets, and the image resources' size is a 32-bit count;
// a palette is a P6 of at most 256 pixels, far below 64 KiB even with
// comments in its header; a module is loaded into a 32-bit process on
// Windows.
const uint64_t kLargestImageFile = 0x7FFFFFFF;
const uint64_t kLargestModuleFile = 0x7FFFFFFF;
const uint64_t kLargestResourcesFile = 0x7FFFFFFF;
const uint64_t kLargestPaletteFile = 65536;

// Opens path for reading. Anything but a regular file (a FIFO, a device, a
// directory) is refused, and opening never waits for a FIFO's writer; so is
// a file larger than `largest` bytes. The descriptor, or -1 with *error
// saying why.
int OpenInputFile(const std::string &path, uint64_t largest, std::string *error);
// The same, as a stdio stream for binary reading; null with *error.
FILE *OpenInputStream(const std::string &path, uint64_t largest, std::string *error);

#endif
