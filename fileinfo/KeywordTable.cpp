#include "fileinfo/KeywordTable.h"

#include "fileinfo/FileInfoFormat.h"

namespace {

struct KeywordRow {
    const char *keyword;
    uint32_t comparedBytes;
    uint8_t dataset;
};

// Searched in this order, the first match deciding. Only the leading bytes
// given are compared, so "Authors" and "Cityscape" match as well, and a
// keyword shorter than them never does.
constexpr KeywordRow kReadRows[] = {
    {"author", 5, kDatasetCredit},         {"Caption", 7, kDatasetCaption},
    {"Writer", 6, kDatasetWriter},         {"ByLine", 6, kDatasetByLine},
    {"Headline", 8, kDatasetHeadline},     {"Instructions", 12, kDatasetInstructions},
    {"Title", 5, kDatasetByLineTitle},     {"Credit", 6, kDatasetCredit},
    {"Source", 6, kDatasetSource},         {"Object", 6, kDatasetObjectName},
    {"City", 4, kDatasetCity},             {"Province", 8, kDatasetProvince},
    {"Country", 7, kDatasetCountry},       {"description", 10, kDatasetCaption},
    {"comment", 7, kDatasetInstructions},
};

struct DatasetRow {
    uint8_t dataset;
    const char *keyword;
};

constexpr DatasetRow kWriteRows[] = {
    {kDatasetInstructions, "Instructions"}, {kDatasetByLine, "ByLine"},   {kDatasetByLineTitle, "Title"},
    {kDatasetCity, "City"},                 {kDatasetProvince, "Province"}, {kDatasetCountry, "Country"},
    {kDatasetHeadline, "Headline"},         {kDatasetCredit, "Author"},   {kDatasetSource, "Source"},
    {kDatasetCaption, "Description"},       {kDatasetWriter, "Writer"},
};

// Folds A-Z only: keywords are Latin-1, and a locale's idea of case must not
// change which dataset a file's text lands in.
unsigned char FoldAsciiCase(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// The row keywords hold no zero byte among their compared bytes, so a
// shorter keyword fails at its terminator and nothing past it is read.
bool MatchesRow(const char *keyword, const KeywordRow &row) {
    for (uint32_t i = 0; i < row.comparedBytes; ++i) {
        const auto wanted = static_cast<unsigned char>(row.keyword[i]);
        const auto given = static_cast<unsigned char>(keyword[i]);
        if (FoldAsciiCase(given) != FoldAsciiCase(wanted)) return false;
    }
    return true;
}

}  // namespace

int DatasetForKeyword(const char *keyword) {
    if (keyword == nullptr) return kNoDataset;
    for (const KeywordRow &row : kReadRows)
        if (MatchesRow(keyword, row)) return row.dataset;
    return kNoDataset;
}

const char *KeywordForDataset(uint8_t dataset) {
    for (const DatasetRow &row : kWriteRows)
        if (row.dataset == dataset) return row.keyword;
    return nullptr;
}
