// ENTRYPOINT and the selector table, driven through the test host.
#include <cstring>

#include "ModuleFixture.h"
#include "pnghost/host/ActiveSession.h"

namespace {

// The block as a plain byte image, for "nothing else changed" checks.
std::vector<uint8_t> Bytes(const void *data, size_t size) {
    const auto *bytes = static_cast<const uint8_t *>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void SetUnusualSaveOptions(PluginState &state) {
    state.interlace = 1;
    state.writeFileInfo = 1;
    state.filterChoice = 3;
    state.compressionLevel = 1;
    state.alphaFlag = 1;
}

void ExpectResetSaveOptions(const PluginState &state) {
    EXPECT_EQ(state.interlace, 0u);
    EXPECT_EQ(state.filterChoice, 6u);
    EXPECT_EQ(state.compressionLevel, 9u);
    EXPECT_EQ(state.alphaFlag, 0u);
}

}  // namespace

TEST_F(ModuleTest, FirstCallOfAnySelectorCreatesAZeroFilledBlock) {
    const int16_t selectors[] = {kSelectorAbout, kSelectorOptionsFinish, 99, -1};
    for (int16_t selector : selectors) {
        HostSession fresh;
        std::string error;
        ASSERT_TRUE(OpenHostSession(&fresh, KORVANE_MODULE_PATH, &error)) << error;
        QueuePersonAction(PersonAction::ClickBody);
        CallSelector(&fresh, selector);
        ASSERT_NE(fresh.moduleData, 0) << "selector " << selector;
        const PluginState &state = *static_cast<PluginState *>(reinterpret_cast<HostHandle>(fresh.moduleData)->data);
        EXPECT_EQ(state.bufferId, 0u);
        EXPECT_EQ(state.interlace, 0u);
        EXPECT_EQ(state.filterChoice, 0u) << "the block starts as zeros, not as reset options";
        EXPECT_EQ(state.codecContext, nullptr);
        CloseHostSession(&fresh);
        Win32ClearDialogActions();
    }
}

TEST_F(ModuleTest, FailedFirstAllocationReturnsOutOfMemoryAndIsRetried) {
    Win32FailGlobalAllocation(1);
    EXPECT_EQ(Call(kSelectorOptionsContinue), kResultOutOfMemory);
    EXPECT_EQ(session.moduleData, 0);
    // The second allocation of the block (its data) failing must not leak the first.
    const size_t before = Win32LiveGlobalBlocks();
    Win32FailGlobalAllocation(2);
    EXPECT_EQ(Call(kSelectorOptionsContinue), kResultOutOfMemory);
    EXPECT_EQ(Win32LiveGlobalBlocks(), before);

    EXPECT_EQ(Call(kSelectorOptionsContinue), kResultNoError);
    EXPECT_NE(session.moduleData, 0);
}

TEST_F(ModuleTest, UnknownSelectorsAreRefusedAndLeaveTheBlockAlone) {
    PluginState &state = CreatedState();
    SetUnusualSaveOptions(state);
    for (int32_t selector : {18, 255, -1, 0x7FFF, -30000}) {
        const std::vector<uint8_t> before = Bytes(&state, sizeof state);
        int16_t result = 0;
        session.entry(selector, &session.block, &session.moduleData, &result);
        EXPECT_EQ(result, kResultBadSelector) << selector;
        PluginState expected;
        std::memcpy(&expected, before.data(), sizeof expected);
        expected.hostBlock = &session.block;
        expected.result = kResultBadSelector;
        EXPECT_EQ(Bytes(&state, sizeof state), Bytes(&expected, sizeof expected)) << selector;
    }
}

TEST_F(ModuleTest, OnlyTheLowSixteenBitsOfTheSelectorCount) {
    PluginState &state = CreatedState();
    int16_t result = 0;
    session.block.maxDataSize = 77;
    session.entry(0x10000 + kSelectorWritePrepare, &session.block, &session.moduleData, &result);
    EXPECT_EQ(result, kResultNoError);
    EXPECT_EQ(session.block.maxDataSize, 0);
    session.entry(0x10000 - 1, &session.block, &session.moduleData, &result);
    EXPECT_EQ(result, kResultBadSelector);
    EXPECT_EQ(state.result, kResultBadSelector);
}

TEST_F(ModuleTest, ResultIsWrittenAsSixteenBitsOnly) {
    CreatedState();
    int16_t words[3] = {0x1111, 0x2222, 0x3333};
    session.entry(kSelectorEstimateFinish + 100, &session.block, &session.moduleData, &words[1]);
    EXPECT_EQ(words[0], 0x1111);
    EXPECT_EQ(words[1], kResultBadSelector);
    EXPECT_EQ(words[2], 0x3333);
}

TEST_F(ModuleTest, ResultDoesNotLeakIntoTheNextCall) {
    EXPECT_EQ(Call(200), kResultBadSelector);
    EXPECT_EQ(Call(kSelectorOptionsFinish), kResultNoError);
    EXPECT_EQ(State().result, kResultNoError);
}

TEST_F(ModuleTest, EmptyStepsChangeNothingButTheHostBlockField) {
    PluginState &state = CreatedState();
    SetUnusualSaveOptions(state);
    for (int16_t selector : {kSelectorOptionsContinue, kSelectorOptionsFinish, kSelectorEstimateContinue,
                             kSelectorEstimateFinish}) {
        const std::vector<uint8_t> stateBefore = Bytes(&state, sizeof state);
        const std::vector<uint8_t> blockBefore = Bytes(&session.block, sizeof session.block);
        EXPECT_EQ(Call(selector), kResultNoError);
        EXPECT_EQ(Bytes(&state, sizeof state), stateBefore) << selector;
        EXPECT_EQ(Bytes(&session.block, sizeof session.block), blockBefore) << selector;
    }
}

TEST_F(ModuleTest, PrepareStepsClearOnlyTheMaximumDataSize) {
    PluginState &state = CreatedState();
    SetUnusualSaveOptions(state);
    for (int16_t selector : {kSelectorOptionsPrepare, kSelectorEstimatePrepare, kSelectorWritePrepare}) {
        session.block.maxDataSize = 123456;
        HostFormatBlock expected = session.block;
        expected.maxDataSize = 0;
        const std::vector<uint8_t> stateBefore = Bytes(&state, sizeof state);
        EXPECT_EQ(Call(selector), kResultNoError);
        EXPECT_EQ(Bytes(&session.block, sizeof session.block), Bytes(&expected, sizeof expected)) << selector;
        EXPECT_EQ(Bytes(&state, sizeof state), stateBefore) << selector;
    }
}

TEST_F(ModuleTest, ReadPrepareClearsInterlaceAndAlphaOnly) {
    PluginState &state = CreatedState();
    SetUnusualSaveOptions(state);
    EXPECT_EQ(Call(kSelectorReadPrepare), kResultNoError);
    EXPECT_EQ(state.interlace, 0u);
    EXPECT_EQ(state.alphaFlag, 0u);
    EXPECT_EQ(state.filterChoice, 3u);
    EXPECT_EQ(state.compressionLevel, 1u);
    EXPECT_EQ(state.writeFileInfo, 1u);
}

struct EstimateCase {
    int16_t rows, columns, depth, planes;
    int32_t rowBytes, maxBytes, minBytes;
};

TEST_F(ModuleTest, EstimateReportsImageSizeAndAThird) {
    const EstimateCase cases[] = {
        {10, 3, 8, 3, 9, 90, 30},
        {5, 1, 1, 1, 1, 5, 1},
        {1, 9, 1, 1, 2, 2, 0},
        {100, 100, 16, 4, 800, 80000, 26666},
        // 32767 rows of 32767 columns at 24 planes passes 32 bits: capped.
        {32767, 32767, 8, 24, 786408, INT32_MAX, INT32_MAX},
        {-4, 10, 8, 3, 30, 0, 0},
        {4, -10, 8, 3, 0, 0, 0},
    };
    for (const EstimateCase &c : cases) {
        session.block.imageRows = c.rows;
        session.block.imageColumns = c.columns;
        session.block.depth = c.depth;
        session.block.planes = c.planes;
        session.block.pixelData = &session;
        EXPECT_EQ(Call(kSelectorEstimateStart), kResultNoError);
        EXPECT_EQ(State().rowBytes, c.rowBytes) << c.rows << "x" << c.columns;
        EXPECT_EQ(session.block.maxDataBytes, c.maxBytes) << c.rows << "x" << c.columns;
        EXPECT_EQ(session.block.minDataBytes, c.minBytes) << c.rows << "x" << c.columns;
        EXPECT_EQ(session.block.pixelData, nullptr);
    }
}

TEST_F(ModuleTest, ReadFinishDisposesOfAFileInfoHandleLeftWithTheHost) {
    CreatedState();
    session.block.imageResourcesSize = 42;
    EXPECT_EQ(Call(kSelectorReadFinish), kResultNoError);
    EXPECT_EQ(session.block.imageResourcesSize, 42) << "no handle, nothing to clear";

    const char record[] = "8BIM resource";
    session.block.imageResources = NewHostHandle(&session, record, sizeof record);
    session.block.imageResourcesSize = sizeof record;
    EXPECT_EQ(Call(kSelectorReadFinish), kResultNoError);
    EXPECT_EQ(session.block.imageResources, nullptr);
    EXPECT_EQ(session.block.imageResourcesSize, 0);
    EXPECT_TRUE(session.handles.empty());
}

TEST_F(ModuleTest, WriteFinishFreesTheRowBufferAndResetsEveryOption) {
    PluginState &state = CreatedState();
    HostBufferId id = 0;
    SetActiveSession(&session);
    ASSERT_EQ(session.bufferSuite.allocate(64, &id), kResultNoError);
    state.bufferId = id;
    state.bufferPointer = session.bufferSuite.lock(id, 0);
    SetUnusualSaveOptions(state);

    EXPECT_EQ(Call(kSelectorWriteFinish), kResultNoError);
    EXPECT_TRUE(session.buffers.empty());
    EXPECT_EQ(state.bufferId, 0u);
    EXPECT_EQ(state.bufferPointer, nullptr);
    ExpectResetSaveOptions(state);
    EXPECT_EQ(state.writeFileInfo, 0u);

    // A second wind-down holds no buffer and frees none.
    EXPECT_EQ(Call(kSelectorWriteFinish), kResultNoError);
    EXPECT_TRUE(session.protocolErrors.empty());
}

TEST_F(ModuleTest, OpenAndSaveStepsWithoutAFileFailAndReleaseWhatTheyHold) {
    PluginState &state = CreatedState();
    SetUnusualSaveOptions(state);
    EXPECT_EQ(Call(kSelectorReadStart), kResultCannotRead);
    EXPECT_EQ(Call(kSelectorReadContinue), kResultCannotRead);
    EXPECT_EQ(Call(kSelectorWriteStart), kResultWriteError);
    ExpectResetSaveOptions(state);
    EXPECT_EQ(state.writeFileInfo, 0u) << "a failed write-start winds the save down";
    EXPECT_EQ(Call(kSelectorWriteContinue), kResultWriteError);
    EXPECT_EQ(state.codecContext, nullptr);
}

TEST_F(ModuleTest, StateSurvivesBetweenCalls) {
    PluginState &state = CreatedState();
    state.writeFileInfo = 1;
    state.rowBytes = 99;
    Call(kSelectorOptionsPrepare);
    Call(kSelectorEstimateContinue);
    EXPECT_EQ(State().writeFileInfo, 1u);
    EXPECT_EQ(State().rowBytes, 99);
}
