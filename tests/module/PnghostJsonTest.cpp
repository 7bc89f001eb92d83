// What `pnghost open --json` reports, read back with jq as a script would:
// the image of each mode, an indexed image's look-up tables, File Info typed
// on the command line or handed over as resource bytes, a failed open; and
// what a monitor gamma does to an open, entry for entry as the gamma table
// says.
#include <gtest/gtest.h>

#include <cmath>

#include "NetpbmImages.h"
#include "PnghostRun.h"

namespace {

// jq's compact answer to the filter over the JSON, without the last newline.
std::string Jq(const std::string &json, const std::string &filter) {
    TempFile input(json);
    std::string answer = RunShell("jq -c '" + filter + "' " + input.path()).out;
    if (!answer.empty() && answer.back() == '\n') answer.pop_back();
    return answer;
}

class PnghostJsonTest : public ::testing::Test {
protected:
    // Saves the mode's netpbm image with the options, opens the PNG with
    // --json and returns the report.
    std::string SaveAndReport(const NetpbmMode &mode, const std::string &options) {
        const std::string in = folder.Path(std::string("in.") + mode.extension);
        WriteText(in, NetpbmImage(mode));
        WriteText(folder.Path("palette.ppm"), NetpbmPalette());
        const std::string palette = mode.mode == kModeIndexed ? " --palette " + folder.Path("palette.ppm") : "";
        const std::string png = folder.Path("saved.png");
        const CommandRun save = Pnghost("save " + in + " " + png + palette + " " + options);
        EXPECT_EQ(save.status, 0) << save.err;
        const CommandRun open = Pnghost("open " + png + " --json");
        EXPECT_EQ(open.status, 0) << open.err;
        return open.out;
    }

    TempFolder folder;
};

// A File Info block of the editor's with one dataset, written by hand.
std::string FileInfoBlock(uint8_t dataset, const std::string &text) {
    std::string record = std::string("\x1c\x02\x00\x00\x02\x00\x02", 7) + "\x1c\x02" + static_cast<char>(dataset) +
                         '\0' + static_cast<char>(text.size()) + text;
    if (record.size() % 2 != 0) record += '\0';
    return std::string("8BIM\x04\x04\0\0\0\0\0", 11) + static_cast<char>(record.size()) + record;
}

}  // namespace

TEST_F(PnghostJsonTest, EachModeIsReportedAsTheHostReceivedIt) {
    for (const NetpbmMode &mode : kNetpbmModes) {
        SCOPED_TRACE(mode.name);
        const std::string json = SaveAndReport(mode, "--dpi 300");
        EXPECT_EQ(Jq(json, "[.result, .mode, .rows, .columns, .depth, .planes]"),
                  "[0," + std::to_string(mode.mode) + "," + std::to_string(kNetpbmRows) + "," +
                      std::to_string(kNetpbmColumns) + "," + (mode.mode == kModeBitmap ? "1" : "8") + "," +
                      std::to_string(mode.planes) + "]");
        // pHYs holds pixels per metre: 300 ppi comes back as 299, in 16.16.
        EXPECT_EQ(Jq(json, "[.horizontalResolution, .verticalResolution]"), "[19595264,19595264]");
        EXPECT_EQ(Jq(json, ".advanceStateCalls"), std::to_string(kNetpbmRows)) << "one call a row";
        EXPECT_EQ(Jq(json, ".progress"), "{\"count\":19,\"lastDone\":18,\"lastTotal\":19}");
        EXPECT_EQ(Jq(json, "[.alerts, .fileInfo, .imageResources]"), "[[],[],\"\"]");
        EXPECT_EQ(Jq(json, ".leftAlive"), "{\"moduleBlocks\":0,\"hostBuffers\":0,\"hostHandles\":0}");
        if (mode.mode != kModeIndexed) {
            EXPECT_EQ(Jq(json, ".lookUpTables"), "null");
        }
    }
    EXPECT_EQ(Jq(SaveAndReport(kNetpbmModes[0], ""), ".modeName"), "\"bitmap\"");
}

TEST_F(PnghostJsonTest, AnIndexedImageReportsItsLookUpTables) {
    const std::string json = SaveAndReport(kNetpbmModes[5], "--interlace");
    EXPECT_EQ(Jq(json, ".modeName"), "\"indexed\"");
    const std::string palette = NetpbmPalette().substr(std::string("P6\n256 1\n255\n").size());
    const char *const channels[] = {"red", "green", "blue"};
    for (int channel = 0; channel < 3; ++channel) {
        std::string expected = "[";
        for (int i = 0; i < 256; ++i)
            expected += (i ? "," : "") + std::to_string(static_cast<uint8_t>(palette[static_cast<size_t>(i * 3 + channel)]));
        EXPECT_EQ(Jq(json, std::string(".lookUpTables.") + channels[channel]), expected + "]") << channels[channel];
    }
}

TEST_F(PnghostJsonTest, FileInfoTypedOnTheCommandLineComesBack) {
    const std::string json = SaveAndReport(
        kNetpbmModes[3], "--file-info --iptc '120=A caption, with \"quotes\"' --iptc 80=Someone --iptc 90=Rome "
                         "--date 19960305");
    EXPECT_EQ(Jq(json, "[.fileInfo[] | select(.dataset != 0) | [.dataset, .text]] | sort"),
              "[[55,\"19960305\"],[80,\"Someone\"],[90,\"Rome\"],[120,\"A caption, with \\\"quotes\\\"\"]]");
    EXPECT_EQ(Jq(json, ".imageResources[0:12]"), "\"3842494d0404\"") << "the module's one block";

    // Without the dialog's check box the File Info stays out of the file.
    EXPECT_EQ(Jq(SaveAndReport(kNetpbmModes[3], "--iptc 80=Someone"), ".fileInfo"), "[]");
}

TEST_F(PnghostJsonTest, TheHostSignatureDecidesTheSoftwareText) {
    for (const char *signature : {"8BIM", "8BPS"}) {
        const std::string json =
            SaveAndReport(kNetpbmModes[1], std::string("--file-info --iptc 80=Someone --host-signature ") + signature);
        EXPECT_EQ(Jq(json, "[.fileInfo[] | select(.dataset != 0) | .dataset]"), "[80]") << signature;
        const bool software = Slurp(folder.Path("saved.png")).find("Software") != std::string::npos;
        EXPECT_EQ(software, std::string(signature) == "8BIM") << signature;
    }
}

TEST_F(PnghostJsonTest, AResourcesFileIsHandedOverAsItStands) {
    // Another resource of the editor's first, then its File Info block.
    const std::string other = std::string("8BIM\x03\xed\0\0\0\0\0\x04", 12) + "abcd";
    WriteText(folder.Path("resources.bin"), other + FileInfoBlock(105, "Headline"));
    const std::string json = SaveAndReport(kNetpbmModes[1], "--file-info --resources " + folder.Path("resources.bin"));
    EXPECT_EQ(Jq(json, "[.fileInfo[] | select(.dataset != 0) | [.dataset, .text]]"), "[[105,\"Headline\"]]");

    // --iptc adds its File Info block after the file's bytes.
    WriteText(folder.Path("other.bin"), other);
    const std::string both =
        SaveAndReport(kNetpbmModes[1], "--file-info --resources " + folder.Path("other.bin") + " --iptc 110=Credit");
    EXPECT_EQ(Jq(both, "[.fileInfo[] | select(.dataset != 0) | [.dataset, .text]]"), "[[110,\"Credit\"]]");
}

TEST_F(PnghostJsonTest, AFailedOpenStillReportsItsResult) {
    const CommandRun run = Pnghost("open " + std::string(PNGSUITE_DIR) + "/xs1n0g01.png --json");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Jq(run.out, "[.result, .mode, .lookUpTables, .advanceStateCalls, .leftAlive.hostHandles]"),
              "[-30501,null,null,0,0]");
}

// An older host offers no progress callback or no abort test: an
// interlaced open, which reports each row and asks whether to stop after
// each row of the first six passes, goes through without them.
TEST_F(PnghostJsonTest, AHostWithoutProgressOrAbortTestStillOpens) {
    const std::string rows = std::to_string(kNetpbmRows);
    const std::string report = "[.result, .advanceStateCalls, .progress.count > 0, .abortTests > 0]";
    EXPECT_EQ(Jq(SaveAndReport(kNetpbmModes[4], "--interlace"), report), "[0," + rows + ",true,true]");
    const struct {
        const char *without;
        std::string expected;
    } kHosts[] = {{"progress", "[0," + rows + ",false,true]"}, {"abort-test", "[0," + rows + ",true,false]"}};
    for (const auto &host : kHosts) {
        SCOPED_TRACE(host.without);
        const CommandRun run =
            Pnghost("open " + folder.Path("saved.png") + " --json --without " + std::string(host.without));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Jq(run.out, report), host.expected);
    }
}

// Under lowered limits the memory runs out as in a 32-bit editor: the
// module's store for an interlaced image's even rows (8 MB here) cannot be
// had and the open fails before any row, with nothing left alive; past the
// host's own limit the host says the image is too large for it.
TEST_F(PnghostJsonTest, ImagesPastTheMemoryLimitsFailCleanly) {
    const std::string in = folder.Path("large.pgm");
    WriteText(in, NetpbmImage(kNetpbmModes[1], 4000, 4000));
    const std::string png = folder.Path("large.png");
    ASSERT_EQ(Pnghost("save " + in + " " + png + " --interlace --speed").status, 0);

    const CommandRun module =
        RunShell("KORVANE_GLOBAL_MEMORY_MIB=4 " + std::string(PNGHOST_PATH) + " open " + png + " --json");
    EXPECT_EQ(module.status, 1) << module.err;
    EXPECT_EQ(Jq(module.out, "[.result, .advanceStateCalls, .leftAlive]"),
              "[-30501,0,{\"moduleBlocks\":0,\"hostBuffers\":0,\"hostHandles\":0}]");

    const CommandRun host = RunShell("PNGHOST_IMAGE_MEMORY_MIB=8 " + std::string(PNGHOST_PATH) + " open " + png);
    EXPECT_EQ(host.status, 2);
    EXPECT_NE(host.err.find("the image is too large for this host (4000 x 4000, 1 plane: 15 MiB)"), std::string::npos)
        << host.err;
}

// basn0g08 carries gAMA 1.0 (100000). With a monitor gamma M the host gets
// table[s] for each sample s, the table as the module's open builds it.
TEST(PnghostMonitorGamma, AnOpenIsCorrectedExactlyAsTheGammaTableSays) {
    TempFolder folder;
    const std::string png = std::string(PNGSUITE_DIR) + "/basn0g08.png";
    ASSERT_EQ(Pnghost("open " + png + " --out " + folder.Path("raw.pgm")).status, 0);
    for (double gamma : {2.2, 1.8, 0.5}) {
        SCOPED_TRACE(gamma);
        const CommandRun run =
            Pnghost("open " + png + " --monitor-gamma " + std::to_string(gamma) + " --out " + folder.Path("g.pgm"));
        ASSERT_EQ(run.status, 0) << run.err;
        const auto monitor = static_cast<int32_t>(std::lround(gamma * 65536.0));
        const double exponent = 1.0 / ((monitor * double(1.0f / 65535.0f)) * float(100000 / 100000.0));
        uint8_t table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = static_cast<uint8_t>(255.0 * std::pow(i * double(0.003921568859368563f), exponent));
        const std::string raw = Slurp(folder.Path("raw.pgm"));
        const std::string corrected = Slurp(folder.Path("g.pgm"));
        ASSERT_EQ(raw.size(), corrected.size());
        const size_t header = std::string("P5\n32 32\n255\n").size();
        size_t changed = 0;
        for (size_t i = header; i < raw.size(); ++i) {
            const auto sample = static_cast<uint8_t>(raw[i]);
            ASSERT_EQ(static_cast<uint8_t>(corrected[i]), table[sample]) << "sample " << i - header;
            changed += table[sample] != sample;
        }
        EXPECT_GT(changed, 500u);
    }
}
