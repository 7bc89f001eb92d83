// Saves that fail part way: the file refuses bytes, or memory runs out. The
// operation that meets the failure reports it, and releasing the codec
// leaves no block behind.
#include <signal.h>
#include <sys/resource.h>

#include <set>

#include "WriteTestSupport.h"

namespace {

// Ignores a signal for the life of the object.
class IgnoredSignal {
public:
    explicit IgnoredSignal(int signal) : signal_(signal) { previous_ = ::signal(signal, SIG_IGN); }
    ~IgnoredSignal() { ::signal(signal_, previous_); }
    IgnoredSignal(const IgnoredSignal &) = delete;
    IgnoredSignal &operator=(const IgnoredSignal &) = delete;

private:
    int signal_;
    sighandler_t previous_;
};

// Lets files grow to `bytes` at most; writes past it are cut short.
class FileSizeLimit {
public:
    explicit FileSizeLimit(off_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit previous_{};
};

// Operations numbered as a save calls them: open 0, header 1, rows 2 on,
// end last.
size_t FailedOperation(const SaveOutcome &outcome, size_t rowCount) {
    switch (outcome.failed) {
        case kStepOpen: return 0;
        case kStepHeader: return 1;
        case kStepRow: return 2 + outcome.failedRow;
        case kStepEnd: return 2 + rowCount;
        default: return SIZE_MAX;
    }
}

// The first operation whose running total passes limit: the one whose bytes
// cross a file size limit, or whose allocation is number limit + 1.
template <typename Count>
size_t OperationCrossing(const std::vector<Count> &totals, Count limit) {
    for (size_t i = 0; i < totals.size(); ++i)
        if (totals[i] > limit) return i;
    return SIZE_MAX;
}

class WriteFailuresTest : public WriteCodecTest {
protected:
    // A completed save of plan and rows: the file and the file size after each
    // operation.
    void SaveReference(const PngHeaderPlan &plan, const Rows &rows) {
        WritableFile file;
        SaveSession session(file.descriptor(), 9);
        const SaveOutcome outcome = RunSave(session, plan, rows);
        ReleaseWriteCodec(session.state);
        ASSERT_EQ(outcome.failed, kStepNone);
        referenceSizes_ = outcome.sizes;
        referenceAllocations_ = outcome.allocations;
        reference_ = file.Contents();
        ASSERT_FALSE(ParseChunks(reference_).empty());
    }

    // Saves with the file limited to `limit` bytes: the operation whose bytes
    // cross the limit fails, the file holds what came before, and nothing
    // stays allocated.
    void SaveCutShortAt(off_t limit, const PngHeaderPlan &plan, const Rows &rows) {
        SCOPED_TRACE(limit);
        WritableFile file;
        SaveSession session(file.descriptor(), 9);
        SaveOutcome outcome;
        {
            FileSizeLimit fileLimit(limit);
            outcome = RunSave(session, plan, rows);
        }
        ReleaseWriteCodec(session.state);
        EXPECT_EQ(FailedOperation(outcome, rows.size()), OperationCrossing(referenceSizes_, limit));
        EXPECT_EQ(file.Contents(), Bytes(reference_.begin(), reference_.begin() + limit));
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBlocks_);
        EXPECT_EQ(session.state.codecContext, nullptr);
        EXPECT_EQ(session.state.imageInfo, nullptr);
    }

    std::vector<off_t> referenceSizes_;
    std::vector<unsigned long> referenceAllocations_;
    Bytes reference_;
    IgnoredSignal ignoreFileSize_{SIGXFSZ};
};

// A small save with every kind of header chunk.
struct SmallSave {
    std::string software = "Image Host";
    PngTextEntry entries[1] = {{-1, "Software", reinterpret_cast<const uint8_t *>(software.data()),
                                static_cast<uint32_t>(software.size())}};
    PngTextList texts{entries, 1, 1, true, {2020, 1, 2, 3, 4, 5}};
    uint8_t table[4] = {0, 80, 160, 240};
    PngHeaderPlan plan = PlanFor(6, 5, 8, PNG_COLOR_TYPE_PALETTE);
    Rows rows = Rows(5, Bytes{0, 1, 2, 3, 2, 1});

    SmallSave() {
        plan.red = plan.green = plan.blue = table;
        plan.paletteEntries = 4;
        plan.hasGamma = true;
        plan.gamma = 0.45455;
        plan.hasChromaticities = true;
        plan.whiteX = 0.3127, plan.whiteY = 0.329, plan.redX = 0.64, plan.redY = 0.33;
        plan.greenX = 0.3, plan.greenY = 0.6, plan.blueX = 0.15, plan.blueY = 0.06;
        plan.hasPhysicalSize = true;
        plan.pixelsPerUnitX = plan.pixelsPerUnitY = 2835;
        plan.unit = PNG_RESOLUTION_METER;
        plan.texts = &texts;
    }
};

TEST_F(WriteFailuresTest, ShortWriteAtEveryOffsetFailsTheOperationWritingThere) {
    const SmallSave save;
    SaveReference(save.plan, save.rows);
    for (off_t limit = 0; limit < static_cast<off_t>(reference_.size()); ++limit)
        SaveCutShortAt(limit, save.plan, save.rows);
}

// Noise does not compress, so the first rows fill the 16384-byte buffer and a
// row operation puts out a full image data chunk.
TEST_F(WriteFailuresTest, ShortWriteOfAFullImageDataChunkFailsTheRow) {
    const PngHeaderPlan plan = PlanFor(128, 128, 8, PNG_COLOR_TYPE_RGB);
    const Rows rows = NoiseRows(plan);
    SaveReference(plan, rows);
    const off_t header = referenceSizes_[1];
    ASSERT_EQ(referenceSizes_[2], header) << "the first row should stay in the buffer";
    for (off_t limit : {header, header + 4, header + 8, header + 100, header + 8 + 16384, header + 12 + 16384,
                        header + 12 + 16384 + 9, static_cast<off_t>(reference_.size()) - 1})
        SaveCutShortAt(limit, plan, rows);
}

TEST_F(WriteFailuresTest, FileThatTakesNothingFailsTheHeader) {
    IgnoredSignal ignoreBrokenPipe(SIGPIPE);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    const int deviceFull = open("/dev/full", O_WRONLY);
    ASSERT_GE(deviceFull, 0);
    const SmallSave save;
    for (int descriptor : {pipeEnds[1], deviceFull}) {
        SaveSession session(descriptor, 9);
        const SaveOutcome outcome = RunSave(session, save.plan, save.rows);
        ReleaseWriteCodec(session.state);
        EXPECT_EQ(outcome.failed, kStepHeader);
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBlocks_);
    }
    close(pipeEnds[1]);
    close(deviceFull);
}

// Each allocation of a whole save, made to fail in turn. The save with
// interlacing and a text allocates in every operation but the last.
TEST_F(WriteFailuresTest, FailedAllocationAtEveryIndexFailsTheOperationMakingIt) {
    SmallSave save;
    save.plan.interlaceMethod = PNG_INTERLACE_ADAM7;
    save.rows = AdamPassRows(save.rows, save.plan.width, 1);
    SaveReference(save.plan, save.rows);
    const unsigned long allocations = referenceAllocations_.back();
    ASSERT_GT(allocations, 5u);

    std::set<SaveStep> failedSteps;
    for (unsigned long n = 1; n <= allocations; ++n) {
        SCOPED_TRACE(n);
        WritableFile file;
        SaveSession session(file.descriptor(), 9);
        Win32FailGlobalAllocation(n);
        const SaveOutcome outcome = RunSave(session, save.plan, save.rows);
        Win32FailGlobalAllocation(0);
        ReleaseWriteCodec(session.state);
        EXPECT_EQ(FailedOperation(outcome, save.rows.size()), OperationCrossing(referenceAllocations_, n - 1));
        failedSteps.insert(outcome.failed);
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBlocks_);
    }
    EXPECT_EQ(failedSteps, (std::set<SaveStep>{kStepOpen, kStepHeader, kStepRow}));
}

// Plans libpng refuses, and one with more palette entries than the tables
// hold: the header fails and the save stops there.
TEST_F(WriteFailuresTest, ImpossiblePlanFailsTheHeader) {
    static uint8_t table[256];
    static const PngTextEntry unnamed[1] = {{-1, "", nullptr, 0}};
    static const PngTextList unnamedText{const_cast<PngTextEntry *>(unnamed), 1, 1, false, {}};
    const struct {
        const char *name;
        void (*change)(PngHeaderPlan &);
    } cases[] = {
        {"bit depth 3", [](PngHeaderPlan &plan) { plan.bitDepth = 3; }},
        {"no columns", [](PngHeaderPlan &plan) { plan.width = 0; }},
        {"interlace method 2", [](PngHeaderPlan &plan) { plan.interlaceMethod = 2; }},
        {"palette image without a palette", [](PngHeaderPlan &plan) { plan.colorType = PNG_COLOR_TYPE_PALETTE; }},
        {"palette of 300", [](PngHeaderPlan &plan) {
             plan.colorType = PNG_COLOR_TYPE_PALETTE;
             plan.red = plan.green = plan.blue = table;
             plan.paletteEntries = 300;
         }},
        {"gamma 0", [](PngHeaderPlan &plan) { plan.hasGamma = true; }},
        {"empty keyword", [](PngHeaderPlan &plan) { plan.texts = &unnamedText; }},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        PngHeaderPlan plan = PlanFor(4, 4, 8, PNG_COLOR_TYPE_GRAY);
        test.change(plan);
        WritableFile file;
        SaveSession session(file.descriptor(), 9);
        const SaveOutcome outcome = RunSave(session, plan, Rows(4, Bytes(4)));
        ReleaseWriteCodec(session.state);
        EXPECT_EQ(outcome.failed, kStepHeader);
        EXPECT_EQ(Win32LiveGlobalBlocks(), liveBlocks_);
    }
}

TEST_F(WriteFailuresTest, ReleaseWithNothingHeldDoesNothing) {
    PluginState state{};
    ReleaseWriteCodec(state);
    ReleaseWriteCodec(state);
    EXPECT_EQ(state.codecContext, nullptr);
    EXPECT_EQ(state.imageInfo, nullptr);
}

}  // namespace
