// The pnghost program as a person runs it: output, messages and exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>
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
}

// A FIFO with no writer would hold open(2) forever; the command must refuse
// it at once (the timeout only turns a hang into a failure).
TEST(PnghostFiles, OnlyRegularFilesAreOpenedAndNothingWaitsForAWriter) {
    char folder[] = "/tmp/korvane-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string fifo = std::string(folder) + "/fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path, kind;
    } specials[] = {{fifo, "a FIFO or pipe"}, {"/tmp", "a directory"}, {"/dev/null", "a character device"}};
    const std::string out = std::string(folder) + "/out.png";
    for (const auto &special : specials) {
        const std::string argumentLists[] = {"open " + special.path, "probe " + special.path,
                                             "save " + special.path + " " + out, "--module " + special.path + " pipl"};
        for (const std::string &arguments : argumentLists) {
            const CommandRun run = RunShell("timeout 10 " + std::string(PNGHOST_PATH) + " " + arguments);
            EXPECT_EQ(run.status, 2) << arguments;
            EXPECT_EQ(run.err.find("pnghost: " + special.path + ": "), 0u) << arguments << ": " << run.err;
            EXPECT_NE(run.err.find(special.kind + ", not a regular file"), std::string::npos) << arguments;
        }
    }
    unlink(fifo.c_str());
    rmdir(folder);
}

// -30501 is the one code for every file the module cannot read, so its words
// must be true of each: no PNG at all, a damaged one, a truncated one.
TEST(PnghostOpen, AFileTheModuleCannotReadIsDescribedTrulyWhateverTheCause) {
    const std::vector<uint8_t> png = ReadWholeFile(kPng);
    TempFile truncated(std::vector<uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)));
    for (const std::string &path : {kDamagedSignature, std::string(PNGSUITE_DIR) + "/xcsn0g01.png", truncated.path()}) {
        const CommandRun run = Pnghost("open " + path);
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(run.err, "pnghost: " + path +
                               ": the module cannot read this file: it is not a PNG file, or it is damaged, cut "
                               "short, or too large for the memory available (-30501)\n");
    }
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

// The version a person reports a problem with: pnghost's commit, and the
// module's version as its about box states it.
TEST(PnghostVersion, NamesTheCommitAndTheModulesVersion) {
    const CommandRun run = Pnghost("--version");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("pnghost 1\\.0 \\(commit ([0-9a-f]{12}(-modified)?|unknown)\\)\n"
                                                     "module .*/Korvane\\.8BI: Version 1\\.0\n")))
        << run.out;
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
        {"view a.png b.png", "view takes at most one file"},
        {"view --json", "--json does not go with view"},
        {"view --monitor-gamma 2.2 " + kPng, "view shows a window, which only the Windows build"},
        {"--modul x pipl", "unknown option"},
        {"--module /nonexistent/Korvane.8BI pipl", "/nonexistent/Korvane.8BI: cannot load the module"},
        {"--module " + kPng + " pipl", "cannot load the module"},
        {"--module /nonexistent/Korvane.8BI --version", "/nonexistent/Korvane.8BI: cannot load the module"},
    };
    for (const Case &c : cases) {
        const CommandRun run = Pnghost(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
}
