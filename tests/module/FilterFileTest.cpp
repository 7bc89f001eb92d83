// The signature probe, on real files.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "ModuleFixture.h"
#include "PngFiles.h"
#include "TempFile.h"
#include "read/FilterFile.h"
#include "read/HostFile.h"

namespace {

const std::vector<uint8_t> kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::vector<uint8_t> Join(std::vector<uint8_t> head, const std::string &tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct ProbeCase {
    const char *name;
    std::vector<uint8_t> bytes;
    int16_t result;
};

}  // namespace

class FilterFileTest : public ModuleTest {
protected:
    int16_t Probe(int descriptor) {
        session.block.fileHandle = descriptor;
        return Call(kSelectorFilterFile);
    }
};

TEST_F(FilterFileTest, AnswersFromTheFirstEightBytes) {
    const ProbeCase cases[] = {
        {"signature alone", kSignature, kResultNoError},
        {"signature and a broken header", Join(kSignature, "\0\0\0\x0dIHDR garbage"), kResultNoError},
        {"lower-case p", {0x89, 'p', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, kResultCannotRead},
        {"last byte differs", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B}, kResultCannotRead},
        {"GIF", Join({}, "GIF89a\x01\x00\x01\x00"), kResultCannotRead},
        {"JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}, kResultCannotRead},
        {"text", Join({}, "hello, world\n"), kResultCannotRead},
        {"empty", {}, kResultCannotRead},
        {"seven bytes of signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}, kResultCannotRead},
    };
    for (const ProbeCase &c : cases) {
        TempFile file(c.bytes);
        ASSERT_GE(file.descriptor(), 0);
        EXPECT_EQ(Probe(file.descriptor()), c.result) << c.name;
        if (c.result == kResultNoError) {
            EXPECT_EQ(file.position(), 0) << c.name << ": left at the start";
        }
    }
}

TEST_F(FilterFileTest, RewindsBeforeReading) {
    TempFile file(Join(kSignature, "rest of file"));
    lseek(file.descriptor(), 11, SEEK_SET);
    EXPECT_EQ(Probe(file.descriptor()), kResultNoError);
    EXPECT_EQ(file.position(), 0);
}

TEST_F(FilterFileTest, UnreadableFilesGiveTheProbeReadError) {
    // A directory opens but cannot be read; a write-only descriptor neither.
    const int directory = open("/tmp", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(directory, 0);
    EXPECT_EQ(Probe(directory), kResultProbeReadError);
    close(directory);

    TempFile file(kSignature);
    const int writeOnly = open(file.path().c_str(), O_WRONLY);
    EXPECT_EQ(Probe(writeOnly), kResultProbeReadError);
    close(writeOnly);

    EXPECT_EQ(Probe(-1), kResultProbeReadError) << "a closed handle";
}

TEST_F(FilterFileTest, ReadsFromAPipeAsFromAFile) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], kSignature.data(), kSignature.size()), 8);
    close(ends[1]);
    EXPECT_EQ(Probe(ends[0]), kResultNoError);
    close(ends[0]);
}

TEST(FilterFile, LeavesTheFileAloneWhenAResultIsAlreadyRecorded) {
    TempFile file(kSignature);
    lseek(file.descriptor(), 5, SEEK_SET);
    HostFormatBlock block{};
    block.fileHandle = file.descriptor();
    PluginState state{};
    state.hostBlock = &block;
    state.result = kResultOutOfMemory;
    FilterFile(state);
    EXPECT_EQ(state.result, kResultOutOfMemory);
    EXPECT_EQ(file.position(), 5);
}

TEST(HostFile, ReadReportsShortCountsAndAsksForAtMost65535Bytes) {
    std::vector<uint8_t> bytes(70000, 7);
    TempFile file(bytes);
    std::vector<uint8_t> buffer(70000);

    int32_t count = 70000;  // taken as 16 bits: 4464
    EXPECT_EQ(ReadHostFile(file.descriptor(), &count, buffer.data()), kResultNoError);
    EXPECT_EQ(count, 70000 - 65536);

    count = 65535;
    EXPECT_EQ(ReadHostFile(file.descriptor(), &count, buffer.data()), kResultNoError);
    EXPECT_EQ(count, 65535);

    EXPECT_EQ(SeekHostFile(file.descriptor(), 0, 69990), kResultNoError);
    count = 100;
    EXPECT_EQ(ReadHostFile(file.descriptor(), &count, buffer.data()), kResultNoError);
    EXPECT_EQ(count, 10);

    count = 8;
    EXPECT_EQ(ReadHostFile(-1, &count, buffer.data()), kResultProbeReadError);
    EXPECT_EQ(SeekHostFile(-1, 0, 0), kResultNoError) << "a seek never fails as far as the module knows";
}

// One probe per PngSuite image: every file has the PNG signature except the
// ones whose signature the suite damaged on purpose.
class PngSuiteProbe : public ModuleTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(PngSuiteProbe, AcceptsExactlyTheFilesWithTheSignature) {
    const std::string name = GetParam();
    const bool damagedSignature = name.rfind("xs", 0) == 0 || name.rfind("xcr", 0) == 0 || name.rfind("xlf", 0) == 0;
    const std::string path = std::string(PNGSUITE_DIR) + "/" + name;
    const int file = open(path.c_str(), O_RDONLY);
    ASSERT_GE(file, 0) << path;
    session.block.fileHandle = file;
    EXPECT_EQ(Call(kSelectorFilterFile), damagedSignature ? kResultCannotRead : kResultNoError);
    if (!damagedSignature) {
        EXPECT_EQ(lseek(file, 0, SEEK_CUR), 0);
    }
    close(file);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteProbe, ::testing::ValuesIn(PngSuiteFiles()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             return info.param.substr(0, info.param.size() - 4);
                         });
