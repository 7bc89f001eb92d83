#include "pnghost/host/AddressSpace.h"

#include <cstddef>

// The image's pages are reserved without backing (see PixelMemory.cpp), and
// the system refuses a reservation it has no addresses for; up to that, only
// what a byte offset can reach limits an image.
uint64_t LargestImageBytes() { return PTRDIFF_MAX; }
