// The texts a read hands over: every tEXt and zTXt in file order, whole,
// those after the image data too; unusable ones, and those too long for File
// Info, dropped without failing.
#include "tests/codec/ReadTestSupport.h"

namespace {

struct Expected {
    int compression;
    std::string keyword;
    std::string text;
};

std::string Keyword(size_t length) { return std::string(length, 'k'); }

Bytes TextData(const std::string &keyword, const std::string &text) {
    return Text(keyword + std::string(1, '\0') + text);
}

Bytes CompressedData(const std::string &keyword, int method, const Bytes &stream) {
    Bytes data = Text(keyword);
    data.insert(data.end(), {0, uint8_t(method)});
    data.insert(data.end(), stream.begin(), stream.end());
    return data;
}

std::vector<Expected> ListOf(const PngTextList &texts) {
    std::vector<Expected> list;
    for (int i = 0; i < texts.count; ++i) {
        const PngTextEntry &entry = texts.entries[i];
        list.push_back({entry.compression, entry.keyword, std::string(entry.text, entry.text + entry.length)});
    }
    return list;
}

bool operator==(const Expected &a, const Expected &b) {
    return a.compression == b.compression && a.keyword == b.keyword && a.text == b.text;
}

void PrintTo(const Expected &e, std::ostream *out) {
    *out << e.compression << " " << e.keyword << " (" << e.text.size() << " bytes)";
}

TEST(ReadTexts, KeepsEveryUsableTextInFileOrderAndDropsTheRest) {
    const std::string withZero("a\0b\0", 4);
    const std::string longest(255, 'z');
    const Bytes cut = Deflated(Text("cut short"));
    PngStream stream = GrayPixel();
    stream.Chunk("tEXt", TextData("Title", withZero))
        .Chunk("zTXt", CompressedData("Comment", 0, Deflated(Text("inflated text"))))
        .Chunk("tEXt", Text("no keyword terminator"))
        .Chunk("tEXt", TextData("", "empty keyword"))
        .Chunk("tEXt", TextData(Keyword(79), "longest keyword"))
        .Chunk("tEXt", TextData(Keyword(80), "keyword too long"))
        .Chunk("zTXt", CompressedData("Method", 1, Deflated(Text("x"))))
        .Chunk("zTXt", CompressedData("Garbage", 0, Text("not a zlib stream")))
        .Chunk("zTXt", CompressedData("Cut", 0, Bytes(cut.begin(), cut.end() - 3)))
        .Chunk("zTXt", TextData("NoMethod", ""))
        .Chunk("zTXt", CompressedData("Longest", 0, Deflated(Text(longest))))
        .Chunk("zTXt", CompressedData("TooLong", 0, Deflated(Text(longest + "z"))))
        .Chunk("tEXt", TextData("Longest", longest))
        .Chunk("tEXt", TextData("TooLong", longest + "z"))
        .Chunk("zTXt", CompressedData("Megabyte", 0, Deflated(Text(std::string(1u << 20, 'm')))))
        .Chunk("tEXt", TextData("Empty", ""))
        .Image({0, 0})
        .Chunk("tEXt", TextData("After", "the image"))
        .Chunk("zTXt", CompressedData("Late", 0, Deflated(Text("and compressed"))))
        .End();
    TempFile file(stream.bytes);
    ReadSession session(file.descriptor());
    ASSERT_TRUE(session.Open());
    const std::vector<Expected> beforeImage = {{-1, "Title", withZero},
                                               {0, "Comment", "inflated text"},
                                               {-1, Keyword(79), "longest keyword"},
                                               {0, "Longest", longest},
                                               {-1, "Longest", longest},
                                               {-1, "Empty", ""}};
    EXPECT_EQ(ListOf(session.Texts()), beforeImage);
    ASSERT_TRUE(session.ReadRows() && ReadEnd(session.state));
    std::vector<Expected> all = beforeImage;
    all.push_back({-1, "After", "the image"});
    all.push_back({0, "Late", "and compressed"});
    EXPECT_EQ(ListOf(session.Texts()), all);
}

TEST(ReadTexts, SeventeenTextsBeforeTheImageAreAllKeptInOrder) {
    PngStream stream = GrayPixel();
    std::vector<Expected> expected;
    for (int i = 0; i < 17; ++i) {
        expected.push_back({-1, "Key" + std::to_string(i), "text " + std::to_string(i)});
        stream.Chunk("tEXt", TextData(expected.back().keyword, expected.back().text));
    }
    TempFile file(stream.Image({0, 0}).End().bytes);
    ReadSession session(file.descriptor());
    ASSERT_TRUE(session.Open());
    const PngTextList texts = session.Texts();
    EXPECT_EQ(ListOf(texts), expected);
    EXPECT_EQ(texts.room, 32);
    EXPECT_FALSE(texts.hasTime);
}

TEST(ReadTexts, TimeComesFromTheFirstTimeChunkBeforeOrAfterTheImage) {
    const Bytes first = {0x07, 0xE8, 2, 29, 23, 59, 60}, second = {0x07, 0xD0, 1, 1, 0, 0, 0};
    const struct {
        PngStream file;
        int year;
    } cases[] = {{GrayPixel().Chunk("tIME", first).Image({0, 0}).Chunk("tIME", second).End(), 2024},
                 {GrayPixel().Image({0, 0}).Chunk("tIME", second).End(), 2000}};
    for (const auto &test : cases) {
        TempFile file(test.file.bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.ReadAll());
        const PngTextList texts = session.Texts();
        ASSERT_TRUE(texts.hasTime);
        EXPECT_EQ(texts.time.year, test.year);
    }
}

}  // namespace
