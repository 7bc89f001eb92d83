// The fuzz drivers outside the fuzzer: every checked-in regression input and
// every seed goes through its target's driver in each build, plain and under
// the sanitizers. A seed that fails shows a driver that would report false
// findings; a regression input that fails shows a fault come back.
#include <gtest/gtest.h>

#include "fuzz/FuzzHost.h"
#include "fuzz/RegressionInputs.h"
#include "fuzz/Seeds.h"
#include "win32_layer.h"

namespace {

using Driver = FuzzProblem (*)(FuzzHost *, const uint8_t *, size_t);

struct Target {
    const char *name;  // the folder of its regression inputs
    Driver driver;
};

const Target kTargets[] = {
    {"open", RunOpenInput},
    {"fileinfo-export", RunFileInfoExportInput},
    {"fileinfo-import", RunFileInfoImportInput},
    {"open-diff", RunOpenDiffInput},
    {"save-roundtrip", RunSaveRoundTripInput},
};

}  // namespace

class FuzzReplay : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(StartFuzzHost(&host, KORVANE_MODULE_PATH, &error)) << error;
    }
    void TearDown() override { StopFuzzHost(&host); }

    void Replay(Driver driver, const std::vector<Seed> &inputs) {
        for (const Seed &input : inputs) {
            EXPECT_EQ(driver(&host, input.bytes.data(), input.bytes.size()), "") << input.name;
            Win32ClearAlerts();
            Win32ClearDialogActions();
        }
    }

    FuzzHost host;
};

TEST_F(FuzzReplay, RegressionInputsKeepTheRules) {
    for (const Target &target : kTargets) {
        SCOPED_TRACE(target.name);
        Replay(target.driver, RegressionInputs(target.name));
    }
}

TEST_F(FuzzReplay, SeedsKeepTheRules) {
    const std::vector<Seed> openSeeds = OpenSeeds(PNGSUITE_DIR);
    ASSERT_GT(openSeeds.size(), 150u) << "the PngSuite is missing from " << PNGSUITE_DIR;
    Replay(RunOpenInput, openSeeds);
    Replay(RunFileInfoExportInput, FileInfoExportSeeds());
    Replay(RunFileInfoImportInput, FileInfoImportSeeds());
}

// The differential over every file the tests open and a save of every mode,
// interlaced or not, under every filter, without the fuzzer.
TEST_F(FuzzReplay, OpensAgreeWithLibspng) { Replay(RunOpenDiffInput, OpenDiffSeeds(PNGSUITE_DIR)); }
TEST_F(FuzzReplay, SavesReadBackByLibspng) { Replay(RunSaveRoundTripInput, SaveRoundTripSeeds()); }
