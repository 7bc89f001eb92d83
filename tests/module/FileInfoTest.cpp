// The File Info captions through whole opens and saves: PNG texts into the
// host's image resources, and back out as PNG texts.
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include "ModuleFixture.h"
#include "PngFiles.h"
#include "TempFile.h"
#include "pnghost/host/Operations.h"

namespace {

// Built byte by byte: the record as the host keeps it.
std::string Dataset(uint8_t number, const std::string &data) {
    std::string bytes = "\x1C\x02";
    bytes += static_cast<char>(number);
    bytes += '\0';
    bytes += static_cast<char>(data.size());
    return bytes + data;
}

std::vector<uint8_t> FileInfoBlock(const std::vector<std::string> &datasets) {
    std::string data = Dataset(0, std::string("\0\x02", 2));
    for (const std::string &dataset : datasets) data += dataset;
    std::string block("8BIM\x04\x04\0\0", 8);
    const uint32_t size = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) block += static_cast<char>(size >> shift);
    block += data;
    return std::vector<uint8_t>(block.begin(), block.end());
}

std::vector<std::pair<std::string, std::string>> TextChunks(const std::vector<uint8_t> &file) {
    std::vector<std::pair<std::string, std::string>> texts;
    for (const PngChunk &chunk : ListChunks(file)) {
        if (chunk.type != "tEXt") continue;
        const std::string data(chunk.data.begin(), chunk.data.end());
        const size_t zero = data.find('\0');
        texts.emplace_back(data.substr(0, zero), data.substr(zero + 1));
    }
    return texts;
}

}  // namespace

class FileInfoTest : public ModuleTest {
protected:
    int16_t OpenBytes(const std::vector<uint8_t> &bytes) {
        TempFile file(bytes);
        return OpenWithModule(&session, file.descriptor());
    }

    int16_t SaveWithFileInfo(bool writeFileInfo, std::vector<uint8_t> *bytes) {
        TempFile file(std::string{});
        const int descriptor = open(file.path().c_str(), O_RDWR | O_TRUNC);
        SaveChoices choices;
        choices.writeFileInfo = writeFileInfo;
        const int16_t result = SaveWithModule(&session, descriptor, choices);
        close(descriptor);
        *bytes = ReadWholeFile(file.path());
        return result;
    }
};

TEST_F(FileInfoTest, TextsBeforeTheImageBecomeTheHostsFileInfo) {
    PngPicture picture = PatternPicture(4, 4, PNG_COLOR_TYPE_GRAY, 8, false);
    picture.texts = {{"Title", "Harbour"}, {"Software", "paint"}, {"Author", "Ann"}, {"City", "Rome"}};
    picture.hasTime = true;
    picture.year = 1996;
    picture.month = 3;
    picture.day = 5;
    ASSERT_EQ(OpenBytes(EncodePng(picture)), kResultNoError);
    const std::vector<uint8_t> expected =
        FileInfoBlock({Dataset(85, "Harbour"), Dataset(110, "Ann"), Dataset(90, "Rome"), Dataset(55, "19960305")});
    EXPECT_EQ(session.image.resources, expected);
    EXPECT_EQ(session.block.imageResources, nullptr) << "read-continue disposed of the handle";
    EXPECT_TRUE(session.handles.empty());
}

TEST_F(FileInfoTest, FilesWithoutKnownTextsGiveNoFileInfo) {
    PngPicture picture = PatternPicture(4, 4, PNG_COLOR_TYPE_GRAY, 8, false);
    picture.texts = {{"Software", "paint"}, {"Disclaimer", "none"}};
    picture.hasTime = true;
    picture.year = 2000;
    picture.month = 1;
    picture.day = 1;
    ASSERT_EQ(OpenBytes(EncodePng(picture)), kResultNoError);
    EXPECT_TRUE(session.image.resources.empty()) << "the date is never written alone";
}

TEST_F(FileInfoTest, AFailedHandleRequestLeavesTheOpenWithoutFileInfo) {
    PngPicture picture = PatternPicture(4, 4, PNG_COLOR_TYPE_GRAY, 8, false);
    picture.texts = {{"Caption", "a boat"}};
    session.handleSuite.newHandle = [](int32_t) -> HostHandle { return nullptr; };
    // Opened by hand: ResetHostBlock would offer a valid suite again.
    TempFile file(EncodePng(picture));
    session.block.fileHandle = file.descriptor();
    EXPECT_EQ(Call(kSelectorReadPrepare), kResultNoError);
    EXPECT_EQ(Call(kSelectorReadStart), kResultNoError);
    EXPECT_EQ(session.block.imageResources, nullptr);
    EXPECT_EQ(session.block.imageResourcesSize, 0);
    Call(kSelectorReadFinish);
}

TEST_F(FileInfoTest, SavedCaptionsBecomeTextChunksAfterSoftware) {
    HostImage image;
    image.mode = kModeGrayscale;
    image.planes = 1;
    image.rows = image.columns = 4;
    AllocateHostImage(&image);
    image.resources = FileInfoBlock({Dataset(120, "a boat"), Dataset(5, "object"), Dataset(110, "Ann"),
                                     Dataset(55, "19960305"), Dataset(40, "keep dry")});
    session.image = image;

    std::vector<uint8_t> bytes;
    ASSERT_EQ(SaveWithFileInfo(true, &bytes), kResultNoError);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Software", "Image Host"}, {"Description", "a boat"}, {"Author", "Ann"}, {"Instructions", "keep dry"}};
    EXPECT_EQ(TextChunks(bytes), expected);
    const std::vector<PngChunk> chunks = ListChunks(bytes);
    const auto time = std::find_if(chunks.begin(), chunks.end(), [](const PngChunk &c) { return c.type == "tIME"; });
    ASSERT_NE(time, chunks.end());
    EXPECT_EQ(time->data, (std::vector<uint8_t>{0x07, 0xCC, 3, 5, 0, 0, 0}));

    ASSERT_EQ(SaveWithFileInfo(false, &bytes), kResultNoError);
    EXPECT_TRUE(TextChunks(bytes).empty()) << "without the option no text is written";
}

TEST_F(FileInfoTest, CaptionsSurviveARoundTrip) {
    PngPicture picture = PatternPicture(4, 4, PNG_COLOR_TYPE_RGB, 8, false);
    picture.texts = {{"Caption", "harbour at dawn"}, {"Credit", "Ann"}, {"Headline", "Dawn"}};
    ASSERT_EQ(OpenBytes(EncodePng(picture)), kResultNoError);
    const std::vector<uint8_t> opened = session.image.resources;

    std::vector<uint8_t> bytes;
    ASSERT_EQ(SaveWithFileInfo(true, &bytes), kResultNoError);
    ASSERT_EQ(OpenBytes(bytes), kResultNoError);
    EXPECT_EQ(session.image.resources, opened);
}

TEST_F(FileInfoTest, HostileResourcesNeverBreakTheSave) {
    const std::vector<uint8_t> good = FileInfoBlock({Dataset(90, "Rome"), Dataset(120, "a boat")});
    std::vector<uint8_t> recordOne = FileInfoBlock({Dataset(90, "Rome"), std::string("\x1C\x01\x05\x00\x02hi", 7),
                                                    Dataset(120, "a boat")});
    std::vector<uint8_t> lengthPastEnd = good;
    lengthPastEnd[11] = 0xF0;
    std::vector<uint8_t> twoBlocks = good;
    const std::vector<uint8_t> second = FileInfoBlock({Dataset(105, "Dawn")});
    twoBlocks.insert(twoBlocks.end(), second.begin(), second.end());

    using Texts = std::vector<std::pair<std::string, std::string>>;
    const struct {
        const char *name;
        std::vector<uint8_t> resources;
        Texts texts;
    } cases[] = {
        {"a dataset of record 1 ends the walk", recordOne, {{"Software", "Image Host"}, {"City", "Rome"}}},
        {"a size past the end", lengthPastEnd, {}},
        {"a second block starts afresh", twoBlocks, {{"Software", "Image Host"}, {"Headline", "Dawn"}}},
    };
    for (const auto &c : cases) {
        session.image = HostImage{};
        session.image.mode = kModeGrayscale;
        session.image.planes = 1;
        session.image.rows = session.image.columns = 2;
        AllocateHostImage(&session.image);
        session.image.resources = c.resources;
        std::vector<uint8_t> bytes;
        ASSERT_EQ(SaveWithFileInfo(true, &bytes), kResultNoError) << c.name;
        EXPECT_EQ(TextChunks(bytes), c.texts) << c.name;
    }
    // Every cut of a good block: the save goes on, whatever survives.
    for (size_t length = 0; length < good.size(); ++length) {
        session.image.resources.assign(good.begin(), good.begin() + static_cast<long>(length));
        std::vector<uint8_t> bytes;
        EXPECT_EQ(SaveWithFileInfo(true, &bytes), kResultNoError) << "cut at " << length;
    }
}
