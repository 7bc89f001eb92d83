#include "pnghost/host/Pipl.h"

#include <cstdio>

namespace {

uint32_t ReadLittle32(const uint8_t *p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t ReadLittle16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t ReadBig32(const uint8_t *p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

bool Fail(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

const char *const kModeNames[16] = {"bitmap",   "grayscale", "indexed", "rgb",    "cmyk",  "hsl",
                                    "hsb",      "multichannel", "duotone", "lab", "gray16", "rgb48",
                                    "lab48",    "cmyk64",    "deepmultichannel", "duotone16"};

const char *const kFormatFlagNames[5] = {"reads-all-types", "saves-image-resources", "can-read", "can-write",
                                         "can-write-if-read"};

// Flag sets are stored most significant bit first: bit 0 is 0x80 of byte 0.
std::string DescribeFlags(const std::vector<uint8_t> &value, const char *const *names, size_t nameCount) {
    std::string text;
    for (size_t bit = 0; bit < nameCount && bit / 8 < value.size(); ++bit) {
        if ((value[bit / 8] & (0x80 >> (bit % 8))) == 0) continue;
        if (!text.empty()) text += ' ';
        text += names[bit];
    }
    return text.empty() ? "(none)" : text;
}

std::string QuoteCode(uint32_t code) {
    const std::string text = FourCCText(code);
    for (char c : text)
        if (c == ' ' || c < 0x21 || c > 0x7E) return "'" + text + "'";
    return text;
}

std::string DescribeCodes(const std::vector<uint8_t> &value) {
    std::string text;
    for (size_t i = 0; i + 4 <= value.size(); i += 4) {
        if (!text.empty()) text += ' ';
        text += QuoteCode(ReadLittle32(&value[i]));
    }
    return text;
}

std::string DescribeWords(const std::vector<uint8_t> &value, const char *separator) {
    std::string text;
    for (size_t i = 0; i + 2 <= value.size(); i += 2) {
        if (!text.empty()) text += separator;
        text += std::to_string(ReadLittle16(&value[i]));
    }
    return text;
}

std::string DescribeBytes(const std::vector<uint8_t> &value) {
    std::string text;
    char hex[4];
    for (uint8_t byte : value) {
        if (!text.empty()) text += ' ';
        std::snprintf(hex, sizeof hex, "%02X", byte);
        text += hex;
    }
    return text;
}

std::string DescribePascalString(const std::vector<uint8_t> &value) {
    if (value.empty()) return "";
    const size_t length = value[0] < value.size() ? value[0] : value.size() - 1;
    return std::string(value.begin() + 1, value.begin() + 1 + static_cast<long>(length));
}

std::string DescribeCString(const std::vector<uint8_t> &value) {
    std::string text;
    for (uint8_t byte : value) {
        if (byte == 0) break;
        text += static_cast<char>(byte);
    }
    return text;
}

std::string TrimTrailingSpaces(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

uint32_t FourCC(const char code[4]) { return ReadBig32(reinterpret_cast<const uint8_t *>(code)); }

std::string FourCCText(uint32_t code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) text[static_cast<size_t>(i)] = static_cast<char>(code >> (24 - 8 * i));
    return text;
}

bool ParsePipl(const uint8_t *bytes, size_t size, std::vector<PiplProperty> *properties, std::string *error) {
    properties->clear();
    if (size < 10) return Fail(error, "property list shorter than its header");
    if (ReadLittle16(bytes) != 1) return Fail(error, "property list does not start with the word 1");
    const uint32_t count = ReadLittle32(bytes + 6);
    size_t offset = 10;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - offset < 16) return Fail(error, "property " + std::to_string(i + 1) + " runs past the list");
        PiplProperty property;
        property.vendor = ReadLittle32(bytes + offset);
        property.key = ReadLittle32(bytes + offset + 4);
        property.id = ReadLittle32(bytes + offset + 8);
        const uint32_t length = ReadLittle32(bytes + offset + 12);
        offset += 16;
        if (length > size - offset)
            return Fail(error, "value of '" + FourCCText(property.key) + "' runs past the list");
        property.value.assign(bytes + offset, bytes + offset + length);
        const size_t padded = (size_t{length} + 3) & ~size_t{3};
        offset = padded > size - offset ? size : offset + padded;
        properties->push_back(std::move(property));
    }
    return true;
}

const PiplProperty *FindPiplProperty(const std::vector<PiplProperty> &properties, const char key[4]) {
    const uint32_t wanted = FourCC(key);
    for (const PiplProperty &property : properties)
        if (property.key == wanted) return &property;
    return nullptr;
}

std::string DescribePiplValue(const PiplProperty &property) {
    const std::vector<uint8_t> &value = property.value;
    const std::string key = FourCCText(property.key);
    if (key == "kind" || key == "fmTC" || key == "RdTy") return DescribeCodes(value);
    if (key == "name") return DescribePascalString(value);
    if (key == "wx86") return DescribeCString(value);
    if (key == "fftE") return TrimTrailingSpaces(DescribeCString(value));
    if (key == "mode") return DescribeFlags(value, kModeNames, 16);
    if (key == "fmtf") return DescribeFlags(value, kFormatFlagNames, 5);
    if (key == "mxsz") return DescribeWords(value, " x ");
    if (key == "mxch") return DescribeWords(value, " ");
    if (key == "vers" && value.size() == 4) {
        const uint32_t version = ReadLittle32(value.data());
        return std::to_string(version >> 16) + "." + std::to_string(version & 0xFFFF);
    }
    return DescribeBytes(value);
}
