// Arbitrary bytes opened as a file, step by step as the editor opens one.
// The first input byte picks the monitor gamma (bits 0-2), whether the host
// calls read-finish after a read-start that failed (bit 3), and whether it
// has no room for the image read-start describes, and so calls read-finish
// at once (bit 4); the second
// how the host answers part way through a second open of the same file
// (fuzz/HostAnswers.h); the rest is the file.
#include <unistd.h>

#include <cstring>

#include "fuzz/FuzzHost.h"
#include "fuzz/OpenUnderHostAnswer.h"
#include "fuzz/OutcomeCounts.h"
#include "fuzz/ProgressRules.h"
#include "pnghost/host/HostFileHandle.h"

namespace {

// No gamma, extremes, and the values editors ship with.
const HostFixed kMonitorGammas[8] = {0, 1, 65536, 117965, 144179, 0x7FFFFFFF, -65536, 65535};

// Images larger than this are read without keeping their pixels: the host's
// copy of a 32767 by 32767 image would not fit the fuzzer's memory.
const size_t kLargestKeptImage = 16u << 20;

// What read-start told the host, as the host takes it; the pixels are kept
// when they fit.
bool TakeDescription(HostSession *session) {
    const HostFormatBlock &block = session->block;
    HostImage &image = session->image;
    image.mode = block.imageMode;
    image.depth = block.depth;
    image.planes = block.planes;
    image.rows = block.imageRows;
    image.columns = block.imageColumns;
    image.pixels.clear();
    const size_t bytes = static_cast<size_t>(HostImageRowBytes(image)) * static_cast<size_t>(image.rows);
    if (image.rows <= 0 || image.columns <= 0 || bytes > kLargestKeptImage) return false;
    AllocateHostImage(&image);
    return true;
}

// How the host goes through the read steps.
struct HostReadHabits {
    bool finishAfterFailedStart = false;
    bool noRoom = false;  // for any image: read-finish right after read-start
};

const char kDeclined[] = "read-start, the host without room for the image";

// The result of the open, and in `step` the step that gave it.
int16_t ReadSteps(HostSession *session, const HostReadHabits &habits, const char **step) {
    *step = "read-start";
    int16_t result = CallSelector(session, kSelectorReadPrepare);
    if (result == kResultNoError) result = CallSelector(session, kSelectorReadStart);
    if (result != kResultNoError) {
        if (habits.finishAfterFailedStart) CallSelector(session, kSelectorReadFinish);
        return result;
    }
    if (habits.noRoom) {
        *step = kDeclined;
        return CallSelector(session, kSelectorReadFinish);
    }
    *step = "read-continue";
    session->flow = TakeDescription(session) ? PixelFlow::ToImage : PixelFlow::None;
    result = CallSelector(session, kSelectorReadContinue);
    session->flow = PixelFlow::None;
    const int16_t finish = CallSelector(session, kSelectorReadFinish);
    if (result != kResultNoError) return result;
    *step = "read-finish";
    return finish;
}

// A read that succeeds hands the host every row once, top to bottom, and
// reports its progress and asks whether to stop as the design lays it out.
FuzzProblem CheckRows(const HostSession &session, bool interlaced) {
    const int32_t rows = session.block.imageRows;
    if (session.advancedRects.size() != static_cast<size_t>(rows))
        return std::to_string(session.advancedRects.size()) + " rows delivered of " + std::to_string(rows);
    for (int32_t r = 0; r < rows; ++r) {
        const HostRect &rect = session.advancedRects[static_cast<size_t>(r)];
        if (rect.top != r || rect.bottom != r + 1 || rect.left != 0 || rect.right != session.block.imageColumns)
            return "row " + std::to_string(r) + " delivered with a wrong rectangle";
    }
    const int32_t columns = session.block.imageColumns;
    return CheckProgress(session.progress, OpenProgress(rows, columns, interlaced)) +
           CheckOpenAbortTests(session.abortTests, rows, columns, interlaced);
}

// The input's class in the counts: the rows of an open that succeeded are
// what this target checks.
void CountOpen(int16_t result, const char *step) {
    if (step == kDeclined)
        CountOutcome(std::string("described, then finished at once: ") + (result == kResultNoError ? "0" : "failed"),
                     false);
    else if (result == kResultNoError)
        CountOutcome("opened: every row delivered once, in order", true);
    else
        CountOutcome(std::string("refused at ") + step, false);
}

// The file from the probe to read-finish; the result, and in `step` the
// step that gave it.
int16_t OpenFile(HostSession *session, const uint8_t *file, size_t size, const HostReadHabits &habits,
                 const char **step) {
    const int descriptor = FileAsHostOpensIt(MemoryFile("fuzz-open", file, size));
    if (descriptor < 0) return kResultOutOfMemory;
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(descriptor);
    session->flow = PixelFlow::None;
    StartCounting(session);
    *step = "filter-file";
    int16_t result = CallSelector(session, kSelectorFilterFile);
    if (result == kResultNoError) result = ReadSteps(session, habits, step);
    close(descriptor);
    return result;
}

}  // namespace

FuzzProblem RunOpenInput(FuzzHost *host, const uint8_t *data, size_t size) {
    if (size < 2) {
        CountOutcome("empty input", false);
        return {};
    }
    HostSession &session = host->session;
    session.monitor.gamma = kMonitorGammas[data[0] & 7];
    HostReadHabits habits;
    habits.finishAfterFailedStart = (data[0] & 8) != 0;
    habits.noRoom = (data[0] & 16) != 0;
    const uint8_t *file = data + 2;
    const size_t fileSize = size - 2;
    const char *step = "";
    const int16_t result = OpenFile(&session, file, fileSize, habits, &step);
    CountOpen(result, step);

    FuzzProblem problem = LeftBehind(host);
    if (result != kResultNoError && result != kResultCannotRead)
        problem += "open ended with " + std::to_string(result) + "; ";
    // IHDR's interlace byte: the header was whole if the open succeeded.
    if (result == kResultNoError && step != kDeclined) problem += CheckRows(session, file[28] != 0);
    if (session.block.pixelData != nullptr) problem += "pixel data pointer left set; ";
    const HostAnswer answer = ReadHostAnswer(data[1]);
    if (!problem.empty() || answer.kind == HostAnswerKind::None) return problem;
    return CheckOpenUnderHostAnswer(host, answer, TakeOpenRun(session, result, answer), [&] {
        return OpenFile(&session, file, fileSize, habits, &step);
    });
}
