// Which row filters a save may use, as the save option names them.
#ifndef KORVANE_WRITE_FILTERS_H
#define KORVANE_WRITE_FILTERS_H

#include <stdint.h>

// The png_set_filter mask for the option value: 0-4 one filter (None, Sub,
// Up, Average, Paeth), 5 None+Sub+Up, 6 the same with Average, 7 and every
// larger value all five. Palette images and 1-bit images always get None.
int FilterMaskForChoice(uint32_t choice, int colorType, int bitDepth);

#endif
