// Hand-built image resource data and text lists for the File Info tests.
#ifndef KORVANE_TESTS_FILE_INFO_BYTES_H
#define KORVANE_TESTS_FILE_INFO_BYTES_H

#include <initializer_list>
#include <string>
#include <vector>

#include "codec/PngText.h"

using Bytes = std::vector<uint8_t>;

inline Bytes Text(const std::string &text) { return Bytes(text.begin(), text.end()); }

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes Dataset(uint8_t number, const Bytes &data, uint8_t record = 2) {
    Bytes bytes = {0x1C, record, number, uint8_t(data.size() >> 8), uint8_t(data.size())};
    return Join({bytes, data});
}

// A resource block; the empty name is written as two zero bytes. With
// padded, an odd name field and odd data get a zero pad byte each, as hosts
// write them.
inline Bytes Resource(uint16_t id, const Bytes &data, const std::string &name = "", bool padded = false) {
    Bytes bytes = Join({Text("8BIM"), {uint8_t(id >> 8), uint8_t(id)}});
    if (name.empty()) bytes.insert(bytes.end(), {0, 0});
    else bytes = Join({bytes, {uint8_t(name.size())}, Text(name), padded && name.size() % 2 == 0 ? Bytes{0} : Bytes{}});
    const uint32_t size = uint32_t(data.size());
    bytes = Join({bytes, {uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)}, data});
    if (padded && size % 2 == 1) bytes.push_back(0);
    return bytes;
}

// A text list whose entries point into the texts it keeps.
struct TextListBuilder {
    std::vector<std::string> keywords;
    std::vector<Bytes> texts;
    std::vector<PngTextEntry> entries;
    PngTextList list{};

    TextListBuilder &Add(const std::string &keyword, const Bytes &text) {
        keywords.push_back(keyword);
        texts.push_back(text);
        return *this;
    }
    TextListBuilder &Time(png_uint_16 year, png_byte month, png_byte day) {
        list.hasTime = true;
        list.time = png_time{year, month, day, 0, 0, 0};
        return *this;
    }
    const PngTextList &List() {
        entries.clear();
        for (size_t i = 0; i < keywords.size(); ++i)
            entries.push_back({-1, keywords[i].c_str(), texts[i].data(), uint32_t(texts[i].size())});
        list.entries = entries.data();
        list.room = list.count = int32_t(entries.size());
        return list;
    }
};

#endif
