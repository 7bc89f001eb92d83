// Images made elsewhere, as netpbm files, saved through the module with each
// choice of the options dialog and each host setting, interlaced and not, and
// opened again: the host must get back exactly the planes and palette it
// saved, and pngcheck must pass every file written.
#include <gtest/gtest.h>

#include "NetpbmImages.h"
#include "PnghostRun.h"

namespace {

const char *const kChoices[] = {
    "",
    "--speed",
    "--size",
    "--fast --filter None",
    "--filter Sub",
    "--filter Up",
    "--filter Average",
    "--filter Paeth",
    "--filter Adaptive",
    "--file-info --iptc 120=Caption --date 20240229",
    "--dpi 300",
    "--monitor-gamma 2.2",
    "--host-signature 8BPS --file-info --iptc 80=Someone",
    "--resources {empty}",  // an empty file, made in the test's folder
};

class PnghostNetpbmTest : public ::testing::TestWithParam<NetpbmMode> {};

}  // namespace

TEST_P(PnghostNetpbmTest, SavedWithEachChoiceOpensAsTheSameFiles) {
    const NetpbmMode &mode = GetParam();
    const bool indexed = mode.mode == kModeIndexed;
    TempFolder folder;
    const std::string image = NetpbmImage(mode);
    const std::string in = folder.Path(std::string("in.") + mode.extension);
    WriteText(in, image);
    WriteText(folder.Path("palette.ppm"), NetpbmPalette());
    const std::string palette = indexed ? " --palette " + folder.Path("palette.ppm") : "";
    WriteText(folder.Path("empty.bin"), "");

    for (const char *interlace : {"", " --interlace"}) {
        for (const char *choice : kChoices) {
            std::string options = std::string(choice) + interlace;
            const size_t empty = options.find("{empty}");
            if (empty != std::string::npos) options.replace(empty, 7, folder.Path("empty.bin"));
            SCOPED_TRACE(options);
            const std::string png = folder.Path("saved.png");
            const CommandRun save = Pnghost("save " + in + " " + png + palette + " " + options);
            ASSERT_EQ(save.status, 0) << save.err;
            const CommandRun check = RunShell("pngcheck -q " + png);
            EXPECT_EQ(check.status, 0) << check.out << check.err;

            const std::string out = folder.Path(std::string("out.") + mode.extension);
            const std::string paletteOut = folder.Path("palette-out.ppm");
            const CommandRun open =
                Pnghost("open " + png + " --out " + out + (indexed ? " --palette-out " + paletteOut : ""));
            ASSERT_EQ(open.status, 0) << open.err;
            EXPECT_TRUE(Slurp(out) == image) << "the planes differ";
            if (indexed) {
                EXPECT_TRUE(Slurp(paletteOut) == NetpbmPalette()) << "the palette differs";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, PnghostNetpbmTest, ::testing::ValuesIn(kNetpbmModes),
                         [](const ::testing::TestParamInfo<NetpbmMode> &info) { return std::string(info.param.name); });

TEST(PnghostNetpbm, InputsTheHostCannotHoldAreErrorsNamingTheFile) {
    struct Case {
        std::string bytes;
        std::string extra;
        std::string message;
    };
    const Case cases[] = {
        {"P5\n4 4\n65535\n" + std::string(32, 'x'), "", "only 8-bit samples (MAXVAL 255)"},
        {"P6\n40000 1\n255\n", "", "1 to 32767 pixels"},
        {"P5\n4 4\n255\n" + std::string(15, 'x'), "", "ends before the last row"},
        {"P7\nWIDTH 1\nHEIGHT 1\nDEPTH 3\nMAXVAL 255\nTUPLTYPE CMYK\nENDHDR\nxxx", "", "TUPLTYPE 'CMYK'"},
        {"P6\n1 1\n255\nxxx", " --palette PALETTE", "only a P5 can be made indexed"},
        {"P5\n1 1\n255\nx", " --palette IMAGE", "a palette is a P6 of at most 256 pixels"},
    };
    for (const Case &c : cases) {
        TempFolder folder;
        const std::string in = folder.Path("in.pnm");
        WriteText(in, c.bytes);
        WriteText(folder.Path("palette.ppm"), NetpbmPalette());
        std::string extra = c.extra;
        if (extra == " --palette PALETTE") extra = " --palette " + folder.Path("palette.ppm");
        if (extra == " --palette IMAGE") extra = " --palette " + in;
        const CommandRun run = Pnghost("save " + in + " " + folder.Path("out.png") + extra);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(folder.Names().size(), 2u) << "nothing saved: " << c.message;
    }
}
