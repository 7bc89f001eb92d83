// The File Info block the host must receive from a file's texts: the keyword
// table, matched on a fixed number of leading bytes with A-Z folded, texts of
// at most 255 bytes, and the date from tIME last.
#include <cstring>

#include "tests/reference/HostExpectation.h"

namespace {

struct KeywordRow {
    const char *keyword;
    size_t compared;
    uint8_t dataset;
};

const KeywordRow kKeywordTable[] = {
    {"author", 5, 110},  {"Caption", 7, 120}, {"Writer", 6, 122}, {"ByLine", 6, 80},       {"Headline", 8, 105},
    {"Instructions", 12, 40}, {"Title", 5, 85}, {"Credit", 6, 110}, {"Source", 6, 115}, {"Object", 6, 5},
    {"City", 4, 90},     {"Province", 8, 95}, {"Country", 7, 101}, {"description", 10, 120}, {"comment", 7, 40},
};

uint8_t Folded(char c) { return static_cast<uint8_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

// Bytes past the keyword's end compare as the zero bytes after it.
bool Matches(const std::string &keyword, const KeywordRow &row) {
    for (size_t i = 0; i < row.compared; ++i) {
        const char have = i < keyword.size() ? keyword[i] : 0;
        if (Folded(have) != Folded(row.keyword[i])) return false;
    }
    return true;
}

int DatasetOf(const std::string &keyword) {
    for (const KeywordRow &row : kKeywordTable)
        if (Matches(keyword, row)) return row.dataset;
    return -1;
}

void Append(std::vector<uint8_t> *block, std::initializer_list<uint8_t> bytes) {
    block->insert(block->end(), bytes);
}

// Text up to its first zero byte, zeros from there on.
void AppendText(std::vector<uint8_t> *block, const std::vector<uint8_t> &text) {
    bool zero = false;
    for (uint8_t byte : text) {
        zero = zero || byte == 0;
        block->push_back(zero ? 0 : byte);
    }
}

void AppendDigits(std::vector<uint8_t> *block, int value, int digits) {
    for (int place = digits - 1; place >= 0; --place) {
        int divisor = 1;
        for (int i = 0; i < place; ++i) divisor *= 10;
        block->push_back(static_cast<uint8_t>('0' + value / divisor % 10));
    }
}

}  // namespace

std::vector<uint8_t> ExpectedFileInfo(const StoredChunks &stored) {
    std::vector<uint8_t> block = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0, 0, 0x1C, 2, 0, 0, 2, 0, 2};
    bool anyText = false;
    for (const StoredText &text : stored.texts) {
        if (text.text.size() > 255) continue;
        const int dataset = DatasetOf(text.keyword);
        if (dataset < 0) continue;
        Append(&block, {0x1C, 2, static_cast<uint8_t>(dataset), 0, static_cast<uint8_t>(text.text.size())});
        AppendText(&block, text.text);
        anyText = true;
    }
    if (!anyText) return {};
    if (stored.hasTime) {
        Append(&block, {0x1C, 2, 55, 0, 8});
        AppendDigits(&block, stored.year, 4);
        AppendDigits(&block, stored.month, 2);
        AppendDigits(&block, stored.day, 2);
    }
    const uint32_t size = static_cast<uint32_t>(block.size() - 12);
    for (int i = 0; i < 4; ++i) block[8 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    return block;
}
