// Every PngSuite image through the module: the probe, the open, and a save
// of what was opened, whose reopening must give the host the same image.
#include "HostFixture.h"
#include "PngBytes.h"
#include "pnghost/host/HostFileHandle.h"

class PngSuiteImage : public HostTest, public ::testing::WithParamInterface<std::string> {
protected:
    std::string Path() const { return PngSuitePath(GetParam()); }
    bool Corrupt() const { return GetParam()[0] == 'x'; }

    int16_t Probe() {
        const int file = open(Path().c_str(), O_RDONLY);
        EXPECT_GE(file, 0);
        ResetHostBlock(&session);
        session.block.fileHandle = HostFileHandle(file);
        const int16_t result = CallSelector(&session, kSelectorFilterFile);
        close(file);
        return result;
    }
};

// The probe answers by the signature alone: the suite damages some on purpose.
TEST_P(PngSuiteImage, ProbeAnswersByTheSignature) {
    const int16_t expected = HasPngSignature(ReadBytes(Path())) ? kResultNoError : kResultCannotRead;
    EXPECT_EQ(Probe(), expected);
}

// Corrupt files are refused; every other one reaches the host whole, a row
// at a time, with nothing left held afterwards.
TEST_P(PngSuiteImage, OpensToTheSizeItsHeaderGives) {
    const int16_t result = Open(Path());
    EXPECT_TRUE(session.buffers.empty());
    EXPECT_TRUE(session.handles.empty());
    if (Corrupt()) {
        EXPECT_EQ(result, kResultCannotRead);
        return;
    }
    ASSERT_EQ(result, kResultNoError);
    PngHeader header;
    ASSERT_TRUE(ReadHeader(ReadBytes(Path()), &header));
    EXPECT_EQ(session.image.columns, static_cast<int16_t>(header.width));
    EXPECT_EQ(session.image.rows, static_cast<int16_t>(header.height));
    EXPECT_EQ(session.image.depth, header.bitDepth == 1 ? 1 : 8) << "samples arrive as 8 bits, 1-bit as bitmap";
    EXPECT_EQ(session.advancedRects.size(), static_cast<size_t>(header.height)) << "one advance-state per row";
}

// What the host received, saved with the defaults and opened again, is the
// same image: nothing is lost on the way out.
TEST_P(PngSuiteImage, SavedCopyReopensAsTheSameImage) {
    if (Corrupt()) return;
    ASSERT_EQ(Open(Path()), kResultNoError);
    const HostImage opened = session.image;
    const std::string copy = OutputPath("suite-" + GetParam());
    ASSERT_EQ(Save(copy, SaveChoices{}), kResultNoError);
    ASSERT_EQ(Open(copy), kResultNoError);
    EXPECT_EQ(session.image.mode, opened.mode);
    EXPECT_EQ(session.image.planes, opened.planes);
    EXPECT_EQ(session.image.columns, opened.columns);
    EXPECT_EQ(session.image.rows, opened.rows);
    EXPECT_TRUE(VisiblePixels(session.image) == VisiblePixels(opened)) << "pixels differ";
    EXPECT_TRUE(AlertsShown().empty());
    std::remove(copy.c_str());
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteImage, ::testing::ValuesIn(PngSuiteNames()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             return info.param.substr(0, info.param.size() - 4);
                         });
