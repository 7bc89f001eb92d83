// The pnghost program as a person runs it: output, messages and exit codes.
#include <gtest/gtest.h>

#include <string>

#include "PnghostRun.h"

namespace {

const std::string kPng = std::string(PNGSUITE_DIR) + "/basn0g08.png";
const std::string kDamagedSignature = std::string(PNGSUITE_DIR) + "/xs1n0g01.png";

}  // namespace

TEST(PnghostProbe, ExitStatusTellsWhetherEveryFileIsPng) {
    CommandRun run = Pnghost("probe " + kPng);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kPng + ": PNG (0)\n");

    run = Pnghost("probe " + kPng + " " + kDamagedSignature);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kPng + ": PNG (0)\n" + kDamagedSignature + ": not PNG (-30501)\n");
}

TEST(PnghostProbe, FilesThatCannotBeCheckedAreErrorsNamedOnStderr) {
    CommandRun run = Pnghost("probe /nonexistent/file.png " + kPng);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("/nonexistent/file.png: cannot open"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(kPng + ": PNG (0)"), std::string::npos) << "the other files are still probed";

    run = Pnghost("probe /tmp");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("/tmp: cannot be read (-19)"), std::string::npos) << run.err;
}

TEST(PnghostPipl, PrintsOnePropertyALine) {
    const CommandRun run = Pnghost("pipl");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 24), "kind 4 8BIF\nname 4 PNG\nv");
    EXPECT_NE(run.out.find("\nwx86 12 ENTRYPOINT\n"), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 11);
}

TEST(PnghostAbout, ShowsTheAboutBoxTexts) {
    const CommandRun run = Pnghost("about");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("PNG File Format\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("Version 1.0\n"), std::string::npos);
}

TEST(PnghostUsage, MistakesExitWithTwoAndSayWhy) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"", "no command given"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"probe", "probe needs at least one file"},
        {"--modul x pipl", "unknown option"},
        {"--module /nonexistent/Korvane.8BI pipl", "/nonexistent/Korvane.8BI: cannot load the module"},
        {"--module " + kPng + " pipl", "cannot load the module"},
    };
    for (const Case &c : cases) {
        const CommandRun run = Pnghost(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
}
