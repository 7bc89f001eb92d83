// Positioning and reading the host's open file outside the PNG library.
#ifndef KORVANE_HOST_FILE_H
#define KORVANE_HOST_FILE_H

#include <stdint.h>

// Moves the file position; origin 0 counts from the start. Always 0: the
// outcome of the seek is not looked at.
int16_t SeekHostFile(int32_t file, int16_t origin, int32_t offset);

// Reads up to *count bytes (at most 65535 in one call) and stores the number
// read back into *count. -19 when the system reports a read error, else 0; a
// short read is not an error here.
int16_t ReadHostFile(int32_t file, int32_t *count, void *buffer);

#endif
