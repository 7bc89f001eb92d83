// The service wrappers and the module's own handles, called directly.
#include <gtest/gtest.h>

#include "plugin/GlobalBlock.h"
#include "plugin/HostServices.h"
#include "plugin/LocalHandle.h"
#include "win32_layer.h"

namespace {

class LiveBlocks {
public:
    LiveBlocks() : before_(Win32LiveGlobalBlocks()) {}
    size_t Added() const { return Win32LiveGlobalBlocks() - before_; }

private:
    size_t before_;
};

bool AllZero(const void *data, size_t size) {
    const auto *bytes = static_cast<const uint8_t *>(data);
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

}  // namespace

TEST(LocalHandle, NewHandleIsZeroFilledAndDisposeReturnsBothBlocks) {
    LiveBlocks live;
    for (int32_t size : {0, 1, 13, 4096}) {
        HostHandle handle = LocalHandleNew(size);
        ASSERT_NE(handle, nullptr);
        ASSERT_NE(handle->data, nullptr);
        EXPECT_TRUE(AllZero(handle->data, static_cast<size_t>(size)));
        EXPECT_EQ(live.Added(), 2u);
        LocalHandleDispose(handle);
        EXPECT_EQ(live.Added(), 0u);
    }
}

TEST(LocalHandle, FailureOfEitherAllocationLeavesNothingBehind) {
    LiveBlocks live;
    for (unsigned long failing : {1ul, 2ul}) {
        Win32FailGlobalAllocation(failing);
        EXPECT_EQ(LocalHandleNew(16), nullptr) << "allocation " << failing;
        EXPECT_EQ(live.Added(), 0u) << "allocation " << failing;
    }
    Win32FailGlobalAllocation(0);
}

TEST(LocalHandle, DisposeOfAHandleWithoutDataReleasesOnlyTheMasterRecord) {
    LiveBlocks live;
    auto *master = static_cast<HostHandle>(AllocateGlobalBlock(sizeof(HostHandleRecord)));
    ASSERT_NE(master, nullptr);
    LocalHandleDispose(master);
    EXPECT_EQ(live.Added(), 0u);
    LocalHandleDispose(nullptr);
}

TEST(HandleServices, MissingSuiteFallsBackToTheModulesOwnHandles) {
    LiveBlocks live;
    HostHandle handle = HandleSuiteNew(nullptr, 100);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(AllZero(handle->data, 100));
    EXPECT_EQ(live.Added(), 2u);
    HandleSuiteDispose(nullptr, handle);
    EXPECT_EQ(live.Added(), 0u);
}

TEST(HandleServices, UnusableSuiteIsNeverCalled) {
    // Routines that must not run: a call would fail the test.
    HostHandleSuite suite{0, 4, [](int32_t) -> HostHandle {
                              ADD_FAILURE() << "new called on an unusable suite";
                              return nullptr;
                          },
                          [](HostHandle) { ADD_FAILURE() << "dispose called on an unusable suite"; },
                          [](HostHandle) -> int32_t { return 0; }, [](HostHandle, int32_t) -> HostResult { return 0; }};
    LiveBlocks live;
    HostHandle handle = HandleSuiteNew(&suite, 8);
    ASSERT_NE(handle, nullptr);
    HandleSuiteDispose(&suite, handle);
    EXPECT_EQ(live.Added(), 0u);
}

TEST(BufferServices, UnusableSuiteGivesOutOfMemoryAndTouchesNothing) {
    Win32ClearAlerts();
    HostBufferSuite oldSuite{1, 5, nullptr, nullptr, nullptr, nullptr, nullptr};
    for (HostBufferSuite *suite : {static_cast<HostBufferSuite *>(nullptr), &oldSuite}) {
        HostBufferId id = 1234;
        EXPECT_EQ(BufferSuiteAlloc(suite, 100, &id), kResultOutOfMemory);
        EXPECT_EQ(id, 0u);
        EXPECT_EQ(BufferSuiteLock(suite, 5, 0), nullptr);
        BufferSuiteRelease(suite, 5);
    }
    EXPECT_EQ(Win32AlertCount(), 0u) << "the wrappers check silently";
}
