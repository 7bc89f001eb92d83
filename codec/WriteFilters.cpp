#include "codec/WriteFilters.h"

#include <png.h>

namespace {

const int kMaskForChoice[] = {
    PNG_FILTER_NONE,
    PNG_FILTER_SUB,
    PNG_FILTER_UP,
    PNG_FILTER_AVG,
    PNG_FILTER_PAETH,
    PNG_FAST_FILTERS,
    PNG_FAST_FILTERS | PNG_FILTER_AVG,
};

const uint32_t kChoiceCount = sizeof kMaskForChoice / sizeof kMaskForChoice[0];

}  // namespace

int FilterMaskForChoice(uint32_t choice, int colorType, int bitDepth) {
    // Filters work on bytes, and the bytes of palette indices or packed bits
    // are not smooth quantities: filtering them costs time and rarely saves
    // space.
    if (colorType == PNG_COLOR_TYPE_PALETTE || bitDepth == 1) return PNG_FILTER_NONE;
    // 7 asks for every filter; so does a stored option value with the bit of
    // weight 8 set, and any other value the dialog never offers is taken the
    // same way, as the adaptive choice is the safe one.
    if (choice >= kChoiceCount) return PNG_ALL_FILTERS;
    return kMaskForChoice[choice];
}
