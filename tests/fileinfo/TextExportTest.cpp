// The host's File Info block turned into text entries and a time for saving,
// and the Date Created digits both ways.
#include <gtest/gtest.h>

#include <string>

#include "fileinfo/DateCreated.h"
#include "fileinfo/FileInfoBlock.h"
#include "fileinfo/TextExport.h"
#include "tests/fileinfo/FileInfoBytes.h"

namespace {

constexpr uint32_t kSigned = HOST_FOURCC('8', 'B', 'I', 'M');

struct Exported {
    std::vector<std::string> entries;  // "keyword=text"
    bool hasTime;
    png_time time;
};

Exported Export(Bytes data, uint32_t signature = kSigned) {
    HostHandleRecord record{data.data()};
    HostFormatBlock block{};
    block.hostSignature = signature;
    block.imageResources = &record;
    block.imageResourcesSize = int32_t(data.size());
    PluginState state{};
    state.hostBlock = &block;
    PngTextEntry entries[20]{};
    PngTextList texts{entries, 20, 0, false, {}};
    FileInfoToText(state, &texts);
    Exported result{{}, texts.hasTime, texts.time};
    for (int32_t i = 0; i < texts.count; ++i) {
        const PngTextEntry &entry = entries[i];
        EXPECT_EQ(entry.compression, -1);
        const bool inHostData = entry.text >= data.data() && entry.text + entry.length <= data.data() + data.size();
        EXPECT_TRUE(inHostData || std::string(entry.keyword) == "Software") << entry.keyword;
        result.entries.push_back(std::string(entry.keyword) + "=" + std::string(entry.text, entry.text + entry.length));
    }
    return result;
}

Bytes Repeat(const Bytes &part, int times) {
    Bytes all;
    for (int i = 0; i < times; ++i) all = Join({all, part});
    return all;
}

std::vector<std::string> WithSoftware(std::vector<std::string> entries) {
    entries.insert(entries.begin(), "Software=Image Host");
    return entries;
}

const Bytes kDate = {0x1C, 0x02, 0x37, 0x00, 0x08, 0x31, 0x39, 0x39, 0x36, 0x30, 0x33, 0x30, 0x35};

}  // namespace

TEST(DateCreated, DigitsAreReadLikeAtoiOnFixedSlices) {
    const struct {
        std::string digits;
        int year, month, day;
    } cases[] = {
        {"19960305", 1996, 3, 5}, {"1996AB05", 1996, 0, 5}, {"1996", 1996, 0, 0}, {"199603", 1996, 3, 0},
        {"19960", 1996, 0, 0},    {"", 0, 0, 0},            {" +7 -1 9", 7, 255, 9}, {"20x1123199", 20, 12, 31},
    };
    for (const auto &c : cases) {
        // Exactly as long as the digits, so an over-read shows under ASan.
        const Bytes data = Text(c.digits);
        png_time time = {1, 2, 3, 4, 5, 6};
        DecodeDateCreated(data.data(), uint32_t(data.size()), &time);
        EXPECT_EQ(std::vector<int>({time.year, time.month, time.day, time.hour, time.minute, time.second}),
                  std::vector<int>({c.year, c.month, c.day, 0, 0, 0}))
            << c.digits;
    }
}

TEST(FileInfoToText, DatasetsBecomeEntriesUnderTheirSavedKeywords) {
    const Bytes city = Dataset(90, Text("Rome"));
    const Bytes other = Resource(0x03ED, Text("xyz"), "abc");
    const struct {
        const char *name;
        Bytes data;
        uint32_t signature;
        std::vector<std::string> entries;
    } cases[] = {
        {"Software only from 8BIM", Resource(0x0404, city), kSigned, {"Software=Image Host", "City=Rome"}},
        {"other host", Resource(0x0404, city), HOST_FOURCC('8', 'B', 'P', 'S'), {"City=Rome"}},
        {"no File Info block", other, kSigned, {}},
        {"empty File Info block", Resource(0x0404, {}), kSigned, {"Software=Image Host"}},
        {"same dataset twice", Resource(0x0404, Join({city, city})), 0, {"City=Rome", "City=Rome"}},
        {"record version and object name give nothing",
         Resource(0x0404, Join({Dataset(0, {0, 2}), Dataset(5, Text("o")), Dataset(7, Text("?"))})), 0, {}},
        {"second block starts afresh",
         Join({Resource(0x0404, city), other, Resource(0x0404, Dataset(120, Text("C")))}), kSigned,
         {"Software=Image Host", "Description=C"}},
        {"18 datasets after Software", Resource(0x0404, Join({Repeat(city, 19), kDate})), kSigned,
         WithSoftware(std::vector<std::string>(18, "City=Rome"))},
        {"19 datasets", Resource(0x0404, Join({Repeat(city, 20), kDate})), 0,
         std::vector<std::string>(19, "City=Rome")},
    };
    for (const auto &c : cases) {
        const Exported exported = Export(c.data, c.signature);
        EXPECT_EQ(exported.entries, c.entries) << c.name;
        EXPECT_FALSE(exported.hasTime) << c.name;
    }
}

TEST(FileInfoToText, DateCreatedSetsTheTimeAndSurvivesALaterBlock) {
    const Exported exported =
        Export(Join({Resource(0x0404, kDate), Resource(0x0404, Dataset(40, Text("i")))}));
    EXPECT_EQ(exported.entries, std::vector<std::string>({"Software=Image Host", "Instructions=i"}));
    ASSERT_TRUE(exported.hasTime);
    EXPECT_EQ(exported.time.year, 1996);
    EXPECT_EQ(exported.time.month, 3);
    EXPECT_EQ(exported.time.day, 5);
}

TEST(FileInfoToText, WhatAnOpenBuildsASaveReadsBack) {
    TextListBuilder texts;
    texts.Time(2024, 7, 14)
        .Add("Credit", Text("cr"))
        .Add("Caption", Text("cap"))
        .Add("Object", Text("obj"))
        .Add("comment", Text("com"))
        .Add("Province", Text("pr"));
    const PngTextList &list = texts.List();
    Bytes block(MeasureFileInfoBlock(list));
    AssembleFileInfoBlock(list, block.data(), block.size());
    const Exported exported = Export(block);
    EXPECT_EQ(exported.entries, std::vector<std::string>({"Software=Image Host", "Author=cr", "Description=cap",
                                                          "Instructions=com", "Province=pr"}));
    EXPECT_TRUE(exported.hasTime);
    EXPECT_EQ(exported.time.year * 10000 + exported.time.month * 100 + exported.time.day, 20240714);
}

TEST(FileInfoToText, NoResourceDataLeavesTheListEmpty) {
    HostFormatBlock block{};
    block.hostSignature = kSigned;
    PluginState state{};
    state.hostBlock = &block;
    PngTextEntry entries[20]{};
    PngTextList texts{entries, 20, 0, false, {}};
    FileInfoToText(state, &texts);
    EXPECT_EQ(texts.count, 0);
    EXPECT_EQ(Export({}).entries.size(), 0u);
}
