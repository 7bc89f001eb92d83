#include <win32_layer.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ResidentPages.h"

namespace {

// Every test must leave the heap as it found it.
class GlobalMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        blocks_ = Win32LiveGlobalBlocks();
        bytes_ = Win32LiveGlobalBytes();
    }
    void TearDown() override {
        Win32FailGlobalAllocation(0);
        EXPECT_EQ(Win32LiveGlobalBlocks(), blocks_);
        EXPECT_EQ(Win32LiveGlobalBytes(), bytes_);
    }

private:
    size_t blocks_ = 0;
    size_t bytes_ = 0;
};

bool AllZero(const void *data, size_t size) {
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST_F(GlobalMemoryTest, FixedAndMoveableBlocksHandOutTheirHandles) {
    for (UINT flags : {UINT{GMEM_FIXED}, UINT{GPTR}, UINT{GMEM_MOVEABLE}, UINT{GHND}}) {
        SCOPED_TRACE(flags);
        HGLOBAL handle = GlobalAlloc(flags, 100);
        ASSERT_NE(handle, nullptr);
        void *data = GlobalLock(handle);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(handle == data, (flags & GMEM_MOVEABLE) == 0);
        if (flags & GMEM_ZEROINIT) {
            EXPECT_TRUE(AllZero(data, 100));
        }
        EXPECT_EQ(GlobalHandle(data), handle);
        EXPECT_EQ(GlobalSize(handle), 100u);
        GlobalUnlock(handle);
        EXPECT_EQ(GlobalFree(handle), nullptr);
    }
}

TEST_F(GlobalMemoryTest, MoveableBlocksCountLocksFixedOnesStayLocked) {
    HGLOBAL moveable = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_FALSE(GlobalUnlock(moveable));  // not locked yet
    GlobalLock(moveable);
    GlobalLock(moveable);
    EXPECT_TRUE(GlobalUnlock(moveable));
    EXPECT_FALSE(GlobalUnlock(moveable));
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 8);
    EXPECT_TRUE(GlobalUnlock(fixed));
    GlobalFree(moveable);
    GlobalFree(fixed);
}

TEST_F(GlobalMemoryTest, GrowingKeepsContentAndZeroFillsTheNewPart) {
    for (UINT flags : {UINT{GMEM_FIXED}, UINT{GMEM_MOVEABLE}}) {
        SCOPED_TRACE(flags);
        HGLOBAL handle = GlobalAlloc(flags, 16);
        std::memset(GlobalLock(handle), 0xAB, 16);
        GlobalUnlock(handle);
        HGLOBAL grown = GlobalReAlloc(handle, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
        ASSERT_NE(grown, nullptr);
        if (flags & GMEM_MOVEABLE) {
            EXPECT_EQ(grown, handle);
        }
        const auto *data = static_cast<const unsigned char *>(GlobalLock(grown));
        EXPECT_EQ(GlobalHandle(data), grown);
        EXPECT_EQ(GlobalSize(grown), size_t{1} << 20);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(data[i], 0xAB);
        EXPECT_TRUE(AllZero(data + 16, (1 << 20) - 16));
        GlobalUnlock(grown);
        EXPECT_EQ(GlobalFree(grown), nullptr);
    }
}

TEST_F(GlobalMemoryTest, BlocksMoveOnlyWhenAllowed) {
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalReAlloc(fixed, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalSize(fixed), 16u);
    EXPECT_EQ(GlobalReAlloc(fixed, 8, 0), fixed);  // shrinking stays in place

    HGLOBAL moveable = GlobalAlloc(GMEM_MOVEABLE, 16);
    void *locked = GlobalLock(moveable);
    EXPECT_EQ(GlobalReAlloc(moveable, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalLock(moveable), locked);
    GlobalUnlock(moveable);
    GlobalUnlock(moveable);
    EXPECT_EQ(GlobalReAlloc(moveable, 1 << 20, 0), moveable);  // unlocked: free to move
    EXPECT_EQ(GlobalSize(moveable), size_t{1} << 20);
    GlobalFree(fixed);
    GlobalFree(moveable);
}

TEST_F(GlobalMemoryTest, CountersFollowLiveBlocksAndPeak) {
    const size_t bytes = Win32LiveGlobalBytes();
    const unsigned long attempts = Win32GlobalAllocationCount();
    Win32ResetPeakGlobalBytes();
    HGLOBAL a = GlobalAlloc(GMEM_FIXED, 1000);
    HGLOBAL b = GlobalAlloc(GHND, 500);
    EXPECT_EQ(Win32LiveGlobalBytes(), bytes + 1500);
    b = GlobalReAlloc(b, 2000, 0);    // growing: an allocation
    a = GlobalReAlloc(a, 10, 0);      // shrinking: not one
    EXPECT_EQ(Win32GlobalAllocationCount(), attempts + 3);
    EXPECT_EQ(Win32LiveGlobalBytes(), bytes + 2010);
    EXPECT_EQ(Win32PeakGlobalBytes(), bytes + 3000);
    GlobalFree(a);
    GlobalFree(b);
    EXPECT_EQ(Win32PeakGlobalBytes(), bytes + 3000);
    Win32ResetPeakGlobalBytes();
    EXPECT_EQ(Win32PeakGlobalBytes(), bytes);
}

TEST_F(GlobalMemoryTest, ChosenAllocationFailsIncludingGrowth) {
    Win32FailGlobalAllocation(2);
    HGLOBAL first = GlobalAlloc(GMEM_FIXED, 8);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 8), nullptr);
    HGLOBAL third = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_NE(third, nullptr);

    Win32FailGlobalAllocation(1);
    EXPECT_EQ(GlobalReAlloc(third, 4, 0), third);  // shrinking allocates nothing
    EXPECT_EQ(GlobalReAlloc(third, 64, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(third), 4u);
    EXPECT_NE(GlobalReAlloc(third, 64, GMEM_MOVEABLE), nullptr);
    GlobalFree(first);
    GlobalFree(third);
}

// As in a 32-bit Windows process: 2 GiB of live blocks at the most, lazily
// mapped ones counted in full, and a failed growth leaves the block as it was.
TEST_F(GlobalMemoryTest, BlocksPastTheCommitLimitFail) {
    const SIZE_T gibibyte = SIZE_T{1} << 30;
    // Just past the limit, and the largest request a SIZE_T holds, in 32 bits as in 64.
    for (const SIZE_T past : {2 * gibibyte + 1, ~SIZE_T{0}}) EXPECT_EQ(GlobalAlloc(GHND, past), nullptr) << past;
    HGLOBAL large = GlobalAlloc(GHND, gibibyte + gibibyte / 2);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, gibibyte), nullptr);
    EXPECT_EQ(GlobalReAlloc(large, 3 * gibibyte, GMEM_MOVEABLE | GMEM_ZEROINIT), nullptr);
    EXPECT_EQ(GlobalSize(large), gibibyte + gibibyte / 2);
    GlobalFree(large);
    HGLOBAL again = GlobalAlloc(GHND, gibibyte);
    EXPECT_NE(again, nullptr) << "freed blocks give their room back";
    GlobalFree(again);
}

TEST_F(GlobalMemoryTest, StaleHandlesFailWithANote) {
    HGLOBAL moveable = GlobalAlloc(GMEM_MOVEABLE, 8);
    void *data = GlobalLock(moveable);
    GlobalUnlock(moveable);
    EXPECT_EQ(GlobalFree(moveable), nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlobalFree(moveable), moveable);
    EXPECT_EQ(GlobalLock(moveable), nullptr);
    EXPECT_FALSE(GlobalUnlock(moveable));
    EXPECT_EQ(GlobalSize(moveable), 0u);
    EXPECT_EQ(GlobalReAlloc(moveable, 16, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalHandle(data), nullptr);
    const std::string notes = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(notes.find("GlobalFree"), std::string::npos);
    EXPECT_NE(notes.find("GlobalReAlloc"), std::string::npos);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST_F(GlobalMemoryTest, EmptyMoveableBlockIsDiscardedUntilGrown) {
    HGLOBAL handle = GlobalAlloc(GHND, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalLock(handle), nullptr);
    EXPECT_EQ(GlobalReAlloc(handle, 32, GMEM_ZEROINIT), handle);
    void *data = GlobalLock(handle);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(AllZero(data, 32));
    GlobalUnlock(handle);
    GlobalFree(handle);
}

// As on Windows, a large zero-filled block costs only the pages written; it
// grows with zeros after what it held, also after it was shrunk with data in
// the part it gave up.
TEST_F(GlobalMemoryTest, LargeZeroFilledBlocksCostOnlyThePagesTouched) {
    const size_t size = size_t{256} << 20;
    HGLOBAL handle = GlobalAlloc(GHND, size);
    ASSERT_NE(handle, nullptr);
    auto *data = static_cast<unsigned char *>(GlobalLock(handle));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ResidentPages(data, size), 0u);
    EXPECT_TRUE(AllZero(data + size / 2, 4096));
    std::memset(data + 3 * 4096, 0xAB, 2 * 4096);
    EXPECT_LE(ResidentPages(data, size), 8u);
    GlobalUnlock(handle);

    handle = GlobalReAlloc(handle, 4 * 4096, GMEM_MOVEABLE);
    ASSERT_NE(handle, nullptr);
    handle = GlobalReAlloc(handle, 2 * size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(handle, nullptr);
    data = static_cast<unsigned char *>(GlobalLock(handle));
    EXPECT_EQ(data[3 * 4096], 0xAB);
    EXPECT_EQ(data[4 * 4096 - 1], 0xAB);
    EXPECT_TRUE(AllZero(data + 4 * 4096, 4096)) << "the part given up and taken back is zero";
    EXPECT_TRUE(AllZero(data + 2 * size - 4096, 4096));
    EXPECT_LE(ResidentPages(data, 2 * size), 16u);
    EXPECT_EQ(GlobalSize(handle), 2 * size);
    GlobalUnlock(handle);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

}  // namespace
