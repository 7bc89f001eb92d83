// Files made to cost a careless reader gigabytes or minutes open as any
// other: many long compressed texts, tens of thousands of texts (more than
// Wine has handles), huge declared images with no data, and image data that
// inflates far past the last row.
#include <cstdio>

#include "HostFixture.h"
#include "HostileFiles.h"

namespace {

const uint8_t kByLineTitle = 85;  // the dataset "Title" texts become

std::string WriteHostileFile(const std::string &name, const std::vector<uint8_t> &bytes) {
    const std::string path = OutputPath(name);
    FILE *file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr) return path;
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return path;
}

// The text datasets of a File Info block: the record version dataset and
// the 12-byte header skipped.
std::vector<std::pair<int, std::string>> TextDatasets(const std::vector<uint8_t> &block) {
    std::vector<std::pair<int, std::string>> datasets;
    for (size_t at = 12 + 7; at + 5 <= block.size();) {
        const size_t length = block[at + 4];
        if (at + 5 + length > block.size()) break;
        datasets.emplace_back(block[at + 2], std::string(block.begin() + static_cast<long>(at + 5),
                                                         block.begin() + static_cast<long>(at + 5 + length)));
        at += 5 + length;
    }
    return datasets;
}

}  // namespace

class HostileFilesTest : public HostTest {
protected:
    int16_t OpenHostile(const std::string &name, const std::vector<uint8_t> &bytes) {
        const std::string path = WriteHostileFile(name, bytes);
        const int16_t result = Open(path);
        std::remove(path.c_str());
        return result;
    }
};

TEST_F(HostileFilesTest, LongCompressedTextsOpenWithoutFileInfo) {
    for (const char *keyword : {"Caption", "Software"}) {
        SCOPED_TRACE(keyword);
        ASSERT_EQ(OpenHostile("hostile-ztxt.png", ManyCompressedTexts(keyword)), kResultNoError);
        EXPECT_TRUE(session.image.resources.empty()) << "no text is short enough for File Info";
        EXPECT_EQ(session.advancedRects.size(), 1u);
    }
}

TEST_F(HostileFilesTest, TensOfThousandsOfTextsAllReachFileInfoWhenTheirKeywordIsKnown) {
    ASSERT_EQ(OpenHostile("hostile-text.png", ManyPlainTexts("Title")), kResultNoError);
    const auto datasets = TextDatasets(session.image.resources);
    ASSERT_EQ(datasets.size(), static_cast<size_t>(kPlainTextChunks));
    EXPECT_EQ(datasets.front(), std::make_pair(int{kByLineTitle}, std::string("text 0")));
    EXPECT_EQ(datasets.back(), std::make_pair(int{kByLineTitle}, "text " + std::to_string(kPlainTextChunks - 1)));

    ASSERT_EQ(OpenHostile("hostile-text.png", ManyPlainTexts("Software")), kResultNoError);
    EXPECT_TRUE(session.image.resources.empty());
}

// A 3 or 4 GiB image is past what the host can hold (2 GiB on Linux, the
// free address space of a 32-bit process on Windows): it says so before any
// row is read.
TEST_F(HostileFilesTest, HugeImagesWithoutDataAreRefusedBeforeAnyRow) {
    for (int colorType : {2, 6}) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE("colour type " + std::to_string(colorType) + (interlaced ? ", interlaced" : ""));
            const std::vector<uint8_t> file = HugeDeclaredImage(colorType, interlaced);
            EXPECT_EQ(file.size(), 57u);
            const int16_t result = OpenHostile("hostile-huge.png", file);
            EXPECT_EQ(result, kResultOutOfMemory);
            EXPECT_TRUE(session.imageTooLarge);
            EXPECT_TRUE(session.advancedRects.empty());
        }
    }
}

TEST_F(HostileFilesTest, ImageDataPastTheLastRowIsNotInflated) {
    ASSERT_EQ(OpenHostile("hostile-endless.png", EndlessImageData()), kResultNoError);
    ASSERT_EQ(session.advancedRects.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(session.image.pixels.begin(), session.image.pixels.end()),
              std::vector<uint8_t>(3, 0));
}
