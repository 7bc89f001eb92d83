// Handing the block to the host: the handle, the host block's fields, and
// what is left when memory or the host's handle runs out.
#include <gtest/gtest.h>

#include "fileinfo/FileInfoHandoff.h"
#include "plugin/HostServices.h"
#include "tests/fileinfo/FileInfoBytes.h"
#include "win32_layer.h"

namespace {

HostHandle HOSTAPI RefuseHandle(int32_t) { return nullptr; }
void HOSTAPI DisposeNothing(HostHandle) {}
int32_t HOSTAPI SizeNothing(HostHandle) { return 0; }
HostResult HOSTAPI ResizeNothing(HostHandle, int32_t) { return 0; }

class PublishTest : public ::testing::Test {
protected:
    void SetUp() override {
        Win32FailGlobalAllocation(0);
        state.hostBlock = &block;
        block.imageResources = &previous;
        block.imageResourcesSize = 77;
        liveBefore = Win32LiveGlobalBlocks();
    }
    void TearDown() override { Win32FailGlobalAllocation(0); }

    void ExpectHostBlockUntouched() {
        EXPECT_EQ(block.imageResources, &previous);
        EXPECT_EQ(block.imageResourcesSize, 77);
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBefore);
    }

    HostFormatBlock block{};
    PluginState state{};
    HostHandleRecord previous{nullptr};
    size_t liveBefore = 0;
};

}  // namespace

TEST_F(PublishTest, BlockLandsInANewHandleThatReplacesTheOldOne) {
    TextListBuilder texts;
    texts.Add("City", Text("Rome"));
    PublishFileInfo(state, texts.List());
    ASSERT_NE(block.imageResources, &previous);
    ASSERT_EQ(block.imageResourcesSize, 28);
    const auto *data = static_cast<const uint8_t *>(block.imageResources->data);
    EXPECT_EQ(Bytes(data + 19, data + 28), Join({Dataset(90, Text("Rome"))}));
    HandleSuiteDispose(nullptr, block.imageResources);
    EXPECT_EQ(Win32LiveGlobalBlocks(), liveBefore) << "the work area is released";
}

TEST_F(PublishTest, NoBlockLeavesTheHostBlockAlone) {
    TextListBuilder texts;
    texts.Time(1999, 9, 9).Add("Software", Text("x"));
    PublishFileInfo(state, texts.List());
    ExpectHostBlockUntouched();
}

TEST_F(PublishTest, RefusedHandleLeavesTheHostBlockAloneAndNothingLeaks) {
    HostHandleSuite refusing{kHandleSuiteVersion, kHandleSuiteRoutines, RefuseHandle, DisposeNothing, SizeNothing,
                             ResizeNothing};
    TextListBuilder texts;
    texts.Add("Caption", Bytes(200, 'c'));
    block.handleServices = &refusing;
    PublishFileInfo(state, texts.List());
    ExpectHostBlockUntouched();
    // The work area, the handle's master record, its data: each may fail.
    block.handleServices = nullptr;
    for (unsigned long failing : {1ul, 2ul, 3ul}) {
        Win32FailGlobalAllocation(failing);
        PublishFileInfo(state, texts.List());
        ExpectHostBlockUntouched();
    }
}
