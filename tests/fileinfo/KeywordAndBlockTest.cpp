// Which texts become which datasets, and the bytes of the block they make.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "fileinfo/FileInfoBlock.h"
#include "fileinfo/KeywordTable.h"
#include "tests/fileinfo/FileInfoBytes.h"

namespace {

// Measures, then assembles into a heap area of exactly that size, so that
// AddressSanitizer sees any write past the measured length.
Bytes BuildBlock(const PngTextList &texts) {
    const size_t length = MeasureFileInfoBlock(texts);
    if (length == 0) return {};
    std::unique_ptr<uint8_t[]> area(new uint8_t[length]);
    EXPECT_EQ(AssembleFileInfoBlock(texts, area.get(), length), length);
    EXPECT_EQ(AssembleFileInfoBlock(texts, area.get(), length - 1), 0u) << "an area too small is refused";
    return Bytes(area.get(), area.get() + length);
}

Bytes BlockOf(const Bytes &datasets) {
    return Resource(0x0404, Join({{0x1C, 2, 0, 0, 2, 0, 2}, datasets}));
}

}  // namespace

TEST(KeywordTable, FirstMatchingRowDecides) {
    const struct {
        const char *keyword;
        int dataset;
    } cases[] = {
        {"AUTHOR", 110},       {"Author", 110},     {"authority", 110}, {"Credit", 110},    {"Caption", 120},
        {"Caption Writer", 120}, {"Description", 120}, {"comment", 40},  {"Instructions", 40}, {"Title", 85},
        {"Object", 5},         {"Cityscape", 90},   {"Writer", 122},    {"Cit", kNoDataset}, {"Captio", kNoDataset}, {"", kNoDataset},
        {"Software", kNoDataset}, {"Disclaimer", kNoDataset}, {"\xC1uthor", kNoDataset},
    };
    for (const auto &c : cases) {
        // Exactly as long as the keyword, so an over-read shows under ASan.
        const size_t size = strlen(c.keyword) + 1;
        std::unique_ptr<char[]> keyword(new char[size]);
        memcpy(keyword.get(), c.keyword, size);
        EXPECT_EQ(DatasetForKeyword(keyword.get()), c.dataset) << c.keyword;
    }
}

TEST(FileInfoBlock, OneCityTextGivesTheTwentyEightByteBlock) {
    TextListBuilder texts;
    texts.Add("City", Text("Rome"));
    const Bytes expected = {0x38, 0x42, 0x49, 0x4D, 0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x1C, 0x02,
                            0x00, 0x00, 0x02, 0x00, 0x02, 0x1C, 0x02, 0x5A, 0x00, 0x04, 0x52, 0x6F, 0x6D, 0x65};
    EXPECT_EQ(BuildBlock(texts.List()), expected);
}

TEST(FileInfoBlock, DatasetsFollowTheListAndTheDateComesLast) {
    const Bytes longest(255, 'x');
    const Bytes tooLong(256, 'y');
    const struct {
        const char *name;
        TextListBuilder texts;
        Bytes datasets;
    } cases[] = {
        {"255 kept, 256 skipped",
         TextListBuilder().Add("Caption", tooLong).Add("Title", longest).Add("Source", Text("S")),
         Join({Dataset(85, longest), Dataset(115, Text("S"))})},
        {"empty text", TextListBuilder().Add("Headline", {}), Dataset(105, {})},
        {"zero byte inside", TextListBuilder().Add("ByLine", {'a', 0, 'b', 'c'}), Dataset(80, {'a', 0, 0, 0})},
        {"unknown keywords skipped", TextListBuilder().Add("Software", Text("x")).Add("comment", Text("hi")),
         Dataset(40, Text("hi"))},
        {"date last", TextListBuilder().Time(1996, 3, 5).Add("Object", Text("o")).Add("Country", Text("IT")),
         Join({Dataset(5, Text("o")), Dataset(101, Text("IT")), Dataset(55, Text("19960305"))})},
        {"five-digit year", TextListBuilder().Time(12345, 12, 31).Add("City", Text("c")),
         Join({Dataset(90, Text("c")), Dataset(55, Text("23451231"))})},
    };
    for (auto c : cases) EXPECT_EQ(BuildBlock(c.texts.List()), BlockOf(c.datasets)) << c.name;
}

TEST(FileInfoBlock, NoTextDatasetMeansNoBlock) {
    const TextListBuilder cases[] = {
        TextListBuilder(),
        TextListBuilder().Add("Software", Text("x")).Add("Disclaimer", Text("y")),
        TextListBuilder().Time(2001, 1, 1).Add("Cit", Text("no")),
        TextListBuilder().Add("Caption", Bytes(256, 'z')),
    };
    for (auto c : cases) EXPECT_EQ(MeasureFileInfoBlock(c.List()), 0u);
}

TEST(FileInfoBlock, TwentyLongestCaptionsAreAllKept) {
    TextListBuilder texts;
    for (int i = 0; i < 20; ++i) texts.Add("Caption", Bytes(255, uint8_t('a' + i)));
    Bytes datasets;
    for (int i = 0; i < 20; ++i) datasets = Join({datasets, Dataset(120, Bytes(255, uint8_t('a' + i)))});
    EXPECT_EQ(BuildBlock(texts.List()), BlockOf(datasets));
}
