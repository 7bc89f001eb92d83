// Saves that do not finish leave the file saved over as it was, byte for
// byte, and no file of their own behind; the exit status says what happened:
// 0 saved, 1 the person cancelled, 2 an error.
#include <gtest/gtest.h>

#include "NetpbmImages.h"
#include "PnghostRun.h"

namespace {

const std::string kSuitePng = std::string(PNGSUITE_DIR) + "/basn2c08.png";

class PnghostSaveSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        existing = folder.Path("existing.png");
        ASSERT_EQ(RunShell("cp " + kSuitePng + " " + existing).status, 0);
        before = Slurp(existing);
        // Big enough to pass a small file-size limit: noise compresses badly.
        noisy = folder.Path("noisy.ppm");
        WriteText(noisy, NetpbmImage(kNetpbmModes[3], 200, 200));
    }

    // The existing file as it was, and nothing else left in the folder.
    void ExpectUntouched() {
        EXPECT_TRUE(Slurp(existing) == before) << "the existing file changed";
        EXPECT_EQ(folder.Names().size(), 2u) << "a file was left behind";
    }

    // The command line fails with the message, and the folder is untouched.
    void ExpectFailure(const std::string &commandLine, const std::string &message) {
        const CommandRun run = RunShell(commandLine);
        EXPECT_EQ(run.status, 2) << commandLine;
        EXPECT_NE(run.err.find(message), std::string::npos) << commandLine << ": " << run.err;
        ExpectUntouched();
    }

    TempFolder folder;
    std::string existing;
    std::string before;
    std::string noisy;
};

}  // namespace

TEST_F(PnghostSaveSafetyTest, CancellingASaveOverItsOwnInputLeavesItWhole) {
    const CommandRun run = Pnghost("save " + existing + " " + existing + " --cancel --interlace");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(existing + ": cancelled in the options dialog; " + existing + " is left as it was"),
              std::string::npos)
        << run.err;
    ExpectUntouched();
}

TEST_F(PnghostSaveSafetyTest, FailedSavesLeaveTheExistingFileAsItWas) {
    struct Case {
        std::string commandLine;
        std::string message;
    };
    const std::string save = std::string(PNGHOST_PATH) + " save " + noisy + " " + existing;
    const Case cases[] = {
        {save + " --fail-row 7", "could not be written (-20); " + existing + " is left as it was"},
        {save + " --interlace --fail-row 0", "could not be written (-20)"},
        // A disk that fills up: the file-size limit stops the writes.
        {"ulimit -f 4; " + save, "could not be written (-20)"},
        // The module's alert stops the save: an error, not a cancel.
        {save + " --without handle-suite", "stopped"},
    };
    for (const Case &c : cases) ExpectFailure(c.commandLine, c.message);
}

TEST_F(PnghostSaveSafetyTest, ErrorsOutsideTheModuleAreNamed) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"save " + noisy + " /dev/full", "/dev/full: the PNG file could not be written (-20)"},
        {"save " + noisy + " " + folder.Path("no/such/folder.png"), "cannot create a file beside it"},
        {"save " + folder.Path("missing.png") + " " + existing, "missing.png: cannot open"},
        {"save " + std::string(PNGSUITE_DIR) + "/xs1n0g01.png " + existing, "the module cannot read this file"},
        {"save " + noisy + " " + existing + " --resources " + folder.Path("missing.bin"), "missing.bin: cannot open"},
    };
    for (const Case &c : cases) ExpectFailure(std::string(PNGHOST_PATH) + " " + c.arguments, c.message);
}

TEST_F(PnghostSaveSafetyTest, ACompleteSaveReplacesTheFile) {
    const CommandRun run = Pnghost("save " + noisy + " " + existing + " --speed");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(existing + ": saved, ", 0), 0u) << run.out;
    EXPECT_FALSE(Slurp(existing) == before);
    EXPECT_EQ(RunShell("pngcheck -q " + existing).status, 0);
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST(PnghostOptions, MistakesAreNamed) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"open a.png --interlace", "--interlace does not go with open"},
        {"save a.png b.png --json", "--json does not go with save"},
        {"save a.png b.png --iptc Caption", "--iptc takes DATASET=TEXT"},
        {"save a.png b.png --iptc 256=x", "--iptc takes DATASET=TEXT"},
        {"save a.png b.png --date 1996035", "--date takes YYYYMMDD"},
        {"save a.png b.png --date 19961305", "--date takes YYYYMMDD"},
        {"save a.png b.png --dpi 0", "--dpi takes a whole number"},
        {"save a.png b.png --host-signature 8BI", "--host-signature takes four characters"},
        {"open a.png --monitor-gamma x", "--monitor-gamma takes a real number"},
        {"open a.png --out", "--out needs a value"},
    };
    for (const Case &c : cases) {
        const CommandRun run = Pnghost(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
}
