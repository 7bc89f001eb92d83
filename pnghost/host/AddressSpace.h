// How large a block of image memory this process could still hold: an image
// that needs more is "too large for this host" before any memory is asked
// for. A 32-bit Windows host has 2 GiB of addresses, or up to 4 GiB when it is
// large-address-aware and runs on 64-bit Windows; the limit is asked of the
// system rather than assumed.
#ifndef PNGHOST_ADDRESS_SPACE_H
#define PNGHOST_ADDRESS_SPACE_H

#include <cstdint>

uint64_t LargestImageBytes();

#endif
