// Reading a plug-in property list: the resource through which a module tells
// the host what it is before any of its code runs.
#ifndef PNGHOST_PIPL_H
#define PNGHOST_PIPL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PiplProperty {
    uint32_t vendor = 0;  // four-character codes, first letter in the high byte
    uint32_t key = 0;
    uint32_t id = 0;
    std::vector<uint8_t> value;
};

// Splits the list into its properties, walking them by their stored lengths;
// false with a reason when the list is malformed or runs past its end.
bool ParsePipl(const uint8_t *bytes, size_t size, std::vector<PiplProperty> *properties, std::string *error);

uint32_t FourCC(const char code[4]);
std::string FourCCText(uint32_t code);

const PiplProperty *FindPiplProperty(const std::vector<PiplProperty> &properties, const char key[4]);

// The value in readable form, e.g. "8BIF" for 'kind' or "PNG" for 'name'.
std::string DescribePiplValue(const PiplProperty &property);

#endif
