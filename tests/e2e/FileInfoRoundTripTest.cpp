// File Info both ways: PNG texts become the host's File Info on open, and the
// host's File Info becomes PNG texts on a save that asks for it.
#include <algorithm>

#include "HostFixture.h"
#include "PngBytes.h"

namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;

bool HasKeyword(const Texts &texts, const std::string &keyword) {
    return std::any_of(texts.begin(), texts.end(), [&](const auto &text) { return text.first == keyword; });
}

}  // namespace

class FileInfoRoundTripTest : public HostTest {
protected:
    std::vector<uint8_t> SaveCopy(bool writeFileInfo) {
        SaveChoices choices;
        choices.writeFileInfo = writeFileInfo;
        const std::string path = OutputPath("fileinfo-" + std::to_string(writeFileInfo) + ".png");
        EXPECT_EQ(Save(path, choices), kResultNoError);
        std::vector<uint8_t> bytes = ReadBytes(path);
        std::remove(path.c_str());
        return bytes;
    }
};

TEST_F(FileInfoRoundTripTest, TextsOfTheFileBecomeFileInfoOnlyWhenItHasSome) {
    struct Case {
        const char *file;
        bool hasFileInfo;
    };
    const Case cases[] = {{"ct1n0g04.png", true}, {"ctzn0g04.png", true}, {"basn0g08.png", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(Open(PngSuitePath(c.file)), kResultNoError);
        EXPECT_EQ(!session.image.resources.empty(), c.hasFileInfo);
    }
}

TEST_F(FileInfoRoundTripTest, CheckedWriteFileInfoCarriesTheCaptionsOut) {
    ASSERT_EQ(Open(PngSuitePath("ct1n0g04.png")), kResultNoError);
    const Texts original = TextChunks(ReadBytes(PngSuitePath("ct1n0g04.png")));
    const std::vector<uint8_t> saved = SaveCopy(true);
    const Texts texts = TextChunks(saved);
    for (const char *keyword : {"Title", "Author", "Description"}) {
        EXPECT_TRUE(HasKeyword(original, keyword)) << keyword;
        EXPECT_TRUE(HasKeyword(texts, keyword)) << keyword;
    }
    EXPECT_EQ(texts.front().first, "Software") << "the host's name comes first";
}

TEST_F(FileInfoRoundTripTest, UncheckedWriteFileInfoLeavesTheCaptionsBehind) {
    ASSERT_EQ(Open(PngSuitePath("ct1n0g04.png")), kResultNoError);
    const Texts texts = TextChunks(SaveCopy(false));
    for (const char *keyword : {"Title", "Author", "Description"}) EXPECT_FALSE(HasKeyword(texts, keyword)) << keyword;
}

TEST_F(FileInfoRoundTripTest, CaptionsSurviveSaveAndReopen) {
    ASSERT_EQ(Open(PngSuitePath("ct1n0g04.png")), kResultNoError);
    const std::vector<uint8_t> fileInfo = session.image.resources;
    SaveChoices choices;
    choices.writeFileInfo = true;
    const std::string path = OutputPath("fileinfo-reopen.png");
    ASSERT_EQ(Save(path, choices), kResultNoError);
    ASSERT_EQ(Open(path), kResultNoError);
    EXPECT_TRUE(session.image.resources == fileInfo);
    std::remove(path.c_str());
}
