#include "codec/WriteTexts.h"

#include <stdint.h>
#include <string.h>

#include "plugin/GlobalBlock.h"

namespace {

// Zero for an empty list, or a total that would not fit in a size_t.
size_t BlockSize(const PngTextList &texts) {
    if (size_t(texts.count) > SIZE_MAX / sizeof(png_text)) return 0;
    size_t size = texts.count * sizeof(png_text);
    for (int32_t i = 0; i < texts.count; ++i) {
        const size_t copySize = size_t{texts.entries[i].length} + 1;
        if (copySize == 0 || size > SIZE_MAX - copySize) return 0;
        size += copySize;
    }
    return size;
}

char *CopyText(const PngTextEntry &entry, char *destination) {
    if (entry.length > 0) memcpy(destination, entry.text, entry.length);
    for (uint32_t i = 0; i < entry.length; ++i)
        if (destination[i] == '\0') destination[i] = ' ';
    destination[entry.length] = '\0';
    return destination;
}

int CompressionForLibpng(int compression) {
    return compression == 0 ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
}

}  // namespace

png_textp CopyTextsForLibpng(const PngTextList &texts) {
    const size_t size = BlockSize(texts);
    if (size == 0) return nullptr;
    png_textp copies = static_cast<png_textp>(AllocateGlobalBlock(size));
    if (copies == nullptr) return nullptr;
    char *next = reinterpret_cast<char *>(copies + texts.count);
    for (int32_t i = 0; i < texts.count; ++i) {
        const PngTextEntry &entry = texts.entries[i];
        copies[i].compression = CompressionForLibpng(entry.compression);
        copies[i].key = const_cast<char *>(entry.keyword);
        copies[i].text = CopyText(entry, next);
        copies[i].text_length = entry.length;
        next += size_t{entry.length} + 1;
    }
    return copies;
}

void ReleaseTextCopies(png_textp copies) { ReleaseGlobalBlock(copies); }
