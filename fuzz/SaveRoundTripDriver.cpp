// A host image, save options, monitor and File Info made from arbitrary
// bytes, saved through the module as the editor saves, and the file decoded
// by libspng row by row: header, every pixel, the palette, pHYs, every text
// chunk, the time, gAMA and cHRM and the compression level must be what the
// host gave, every row must carry the filter the options ask for, and the
// size estimate must fit the image, the progress reports must run as the
// design lays them out. A mode or depth the module refuses must end the
// save with -20 and write nothing. The input's first byte says how the host
// answers part way through a second save of the same image
// (fuzz/HostAnswers.h); the rest makes the save (fuzz/SaveRoundTripCase.h).
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "fuzz/FuzzHost.h"
#include "fuzz/OutcomeCounts.h"
#include "fuzz/ProgressRules.h"
#include "fuzz/SaveRoundTripCase.h"
#include "fuzz/SaveUnderHostAnswer.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/Operations.h"
#include "tests/module/PngFiles.h"
#include "tests/reference/HostExpectation.h"
#include "tests/reference/RowComparison.h"
#include "tests/reference/RowFilters.h"

namespace {

int ExpectedColorType(const HostImage &image) {
    switch (image.mode) {
        case kModeGrayscale: return image.planes >= 2 ? 4 : 0;
        case kModeIndexed: return 3;
        case kModeRGB: return image.planes >= 4 ? 6 : 2;
        default: return 0;
    }
}

FuzzProblem CheckHeader(const SaveCase &save, const SpngFile &file) {
    const HostImage &image = save.image;
    const int depth = image.mode == kModeBitmap ? 1 : 8;
    if (file.width != static_cast<uint32_t>(image.columns) || file.height != static_cast<uint32_t>(image.rows) ||
        file.bitDepth != depth || file.colorType != ExpectedColorType(image) ||
        file.interlace != (save.choices.interlace ? 1 : 0))
        return "header " + std::to_string(file.width) + "x" + std::to_string(file.height) + " depth " +
               std::to_string(file.bitDepth) + " colour type " + std::to_string(file.colorType) + " interlace " +
               std::to_string(file.interlace);
    return {};
}

// What the host gets back when it opens the file is its own image: decoded
// row by row and each row held against the host's as it comes.
FuzzProblem DecodeAndCompareRows(const SaveCase &save, const std::vector<uint8_t> &saved, SpngFile *decoded) {
    const HostImage &image = save.image;
    const HostRows rows{image.pixels.data(), static_cast<size_t>(HostImageRowBytes(image)), image.planes};
    const auto expect = [&](const SpngFile &header, HostExpectation *reopened) {
        FuzzProblem problem = CheckHeader(save, header);
        *reopened = ExpectOnOpen(header, StoredChunks{}, HostBefore{});
        // Only the planes the colour type carries are saved.
        if (problem.empty() && (reopened->mode != image.mode || reopened->planes > image.planes))
            problem = "reopens in another mode";
        return problem;
    };
    return CompareRowsWithHost(saved.data(), saved.size(), rows, expect, decoded);
}

FuzzProblem CheckPalette(const SaveCase &save, const SpngFile &file) {
    if (save.image.mode == kModeIndexed && file.palette != save.ExpectedPalette()) return "palette differs";
    if (save.image.mode != kModeIndexed && !file.palette.empty()) return "a palette written for a mode without one";
    return {};
}

FuzzProblem CheckPhysicalSize(const SaveCase &save, const SpngFile &file) {
    if (save.image.horizontalResolution == 0)
        return file.hasPhysicalSize ? "pHYs written for a resolution of 0" : "";
    uint32_t x = 0, y = 0;
    save.ExpectedPixelsPerMetre(&x, &y);
    if (!file.hasPhysicalSize || file.unit != 1 || file.pixelsPerUnitX != x || file.pixelsPerUnitY != y)
        return "pHYs " + std::to_string(file.pixelsPerUnitX) + " x " + std::to_string(file.pixelsPerUnitY) + " unit " +
               std::to_string(file.unit) + ", expected " + std::to_string(x) + " x " + std::to_string(y) + " metre";
    return {};
}

// libpng rounds the real numbers it is given; one in the last place is
// left to the rounding of the single-precision products before it.
bool Near(uint32_t stored, uint32_t expected) { return stored + 1 >= expected && stored <= expected + 1; }

FuzzProblem CheckColourDescription(const SaveCase &save, const SpngFile &file) {
    uint32_t gamma = 0;
    const bool hasGamma = save.ExpectedGamma(&gamma);
    if (file.hasGamma != hasGamma || (hasGamma && !Near(file.gamma, gamma)))
        return "gAMA " + (file.hasGamma ? std::to_string(file.gamma) : std::string("none")) + ", expected " +
               (hasGamma ? std::to_string(gamma) : std::string("none"));
    uint32_t chromaticities[8] = {};
    const bool hasChromaticities = save.ExpectedChromaticities(chromaticities);
    if (file.hasChromaticities != hasChromaticities)
        return file.hasChromaticities ? "cHRM written" : "no cHRM written";
    for (int i = 0; hasChromaticities && i < 8; ++i)
        if (!Near(file.chromaticities[i], chromaticities[i]))
            return "cHRM value " + std::to_string(i) + " is " + std::to_string(file.chromaticities[i]) + ", expected " +
                   std::to_string(chromaticities[i]);
    return {};
}

// The level field of the zlib header that opens the first image data chunk.
FuzzProblem CheckCompressionLevel(const SaveCase &save, const std::vector<uint8_t> &saved) {
    size_t at = 8;
    while (at + 12 <= saved.size()) {
        const size_t length = static_cast<size_t>(saved[at]) << 24 | saved[at + 1] << 16 | saved[at + 2] << 8 |
                              saved[at + 3];
        if (std::memcmp(&saved[at + 4], "IDAT", 4) == 0 && length >= 2) {
            const int field = saved[at + 9] >> 6;
            if (field == save.ExpectedCompressionLevelField()) return {};
            return "zlib level field " + std::to_string(field) + ", expected " +
                   std::to_string(save.ExpectedCompressionLevelField());
        }
        at += 12 + length;
    }
    return "no image data chunk";
}

FuzzProblem CheckFilters(const SaveCase &save, const std::vector<uint8_t> &saved) {
    std::vector<StoredRow> rows;
    size_t bytesPerPixel = 0;
    if (!ReadStoredRows(saved.data(), saved.size(), &rows, &bytesPerPixel)) return "image data cannot be followed";
    for (size_t i = 0; i < rows.size(); ++i) {
        const int expected = save.ExpectedFilter(rows[i], bytesPerPixel);
        if (rows[i].filter != expected)
            return "stored row " + std::to_string(i) + " (pass " + std::to_string(rows[i].pass) + ") has filter " +
                   std::to_string(rows[i].filter) + ", expected " + std::to_string(expected);
    }
    return {};
}

// The size estimate the save answered before writing: rows of whole bytes
// as the host holds them, and a third of that as the least.
FuzzProblem CheckEstimate(const HostImage &image, const HostFormatBlock &block) {
    const int64_t most = image.rows * ((int64_t{image.columns} * image.depth * image.planes + 7) / 8);
    if (block.maxDataBytes == most && block.minDataBytes == most / 3) return {};
    return "estimate " + std::to_string(block.minDataBytes) + " to " + std::to_string(block.maxDataBytes) +
           " bytes, expected " + std::to_string(most / 3) + " to " + std::to_string(most);
}

// The options dialog cancelled (which resets the options), then an
// interlaced file opened: the options the next save finds when the host
// saves without asking.
int16_t OpenInterlacedAfterCancel(HostSession *session, int file) {
    SaveChoices cancel;
    cancel.cancel = true;
    if (SaveWithModule(session, file, cancel) != kResultUserCancelled) return -1;
    static const std::vector<uint8_t> interlaced = EncodePng(PatternPicture(3, 2, 0, 8, true));
    const int opened = MemoryFile("fuzz-save-open", interlaced.data(), interlaced.size());
    if (opened < 0) return -1;
    const int16_t result = OpenWithModule(session, opened);
    close(opened);
    return result;
}

int16_t SaveWithoutOptions(HostSession *session, int file) {
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    session->advancedRects.clear();
    session->progress.clear();
    DescribeImageToModule(session);
    int16_t result = RunSteps(session, {kSelectorEstimatePrepare, kSelectorEstimateStart, kSelectorEstimateContinue,
                                        kSelectorEstimateFinish, kSelectorWritePrepare, kSelectorWriteStart});
    if (result == kResultNoError) {
        session->flow = PixelFlow::FromImage;
        result = CallSelector(session, kSelectorWriteContinue);
        session->flow = PixelFlow::None;
        const int16_t finish = CallSelector(session, kSelectorWriteFinish);
        if (result == kResultNoError) result = finish;
    }
    if (session->block.imageResources != nullptr) DisposeHostHandle(session, session->block.imageResources);
    return result;
}

// The save's own steps; the host's calls are counted from them on
// (fuzz/HostAnswers.h). A save without the options dialog follows the
// steps before it (OpenInterlacedAfterCancel).
int16_t SaveSteps(HostSession *session, const SaveCase &save, int file) {
    session->image = save.image;
    StartCounting(session);
    if (!save.withoutOptions) return SaveWithModule(session, file, save.choices);
    return SaveWithoutOptions(session, file);
}

// The steps before a save without the options dialog, into a scratch file
// the cancelled save leaves empty.
int16_t PrepareSaveWithoutOptions(HostSession *session) {
    const int scratch = MemoryFile("fuzz-save-before", nullptr, 0);
    if (scratch < 0) return kResultOutOfMemory;
    const int16_t opened = OpenInterlacedAfterCancel(session, scratch);
    close(scratch);
    return opened;
}

int16_t Save(HostSession *session, const SaveCase &save, int file) {
    if (save.withoutOptions) {
        const int16_t opened = OpenInterlacedAfterCancel(session, file);
        if (opened != kResultNoError) return opened;
    }
    return SaveSteps(session, save, file);
}

// The input's class in the counts: a save read back by libspng is what this
// target compares; a refused mode is checked for writing nothing.
void CountSave(const SaveCase &save) {
    if (save.refused) {
        CountOutcome("refused mode or depth: -20, nothing written", false);
        return;
    }
    static const char *const kColourTypes[] = {"gray", "", "RGB", "indexed", "gray with alpha", "", "RGBA"};
    const char *colourType = save.image.mode == kModeBitmap ? "1-bit gray" : kColourTypes[ExpectedColorType(save.image)];
    CountOutcome(std::string("saved and read back alike: ") + colourType +
                     (save.withoutOptions ? ", without the dialog" : save.choices.interlace ? ", interlaced" : ""),
                 true);
}

// The save asks the host for rows and reports progress as the design lays
// it out, and never asks whether the person wants to stop.
FuzzProblem CheckHostCalls(const SaveCase &save, const HostSession &session) {
    if (session.abortTests != 0) return "the abort test asked during a save";
    return CheckProgress(session.progress,
                         SaveProgress(save.image.rows, save.image.columns, save.choices.interlace));
}

}  // namespace

FuzzProblem RunSaveRoundTripInput(FuzzHost *host, const uint8_t *data, size_t size) {
    HostSession &session = host->session;
    const HostAnswer answer = ReadHostAnswer(size > 0 ? data[0] : 0);
    const SaveCase save = MakeSaveCase(data + std::min<size_t>(size, 1), size - std::min<size_t>(size, 1));
    session.monitor = save.monitor;
    session.hostSignature = save.hostSignature;
    const int file = MemoryFile("fuzz-save", nullptr, 0);
    if (file < 0) return HarnessFault("no memory file");
    const int16_t result = Save(&session, save, file);
    const std::vector<uint8_t> saved = MemoryFileBytes(file);
    close(file);
    FuzzProblem problem = LeftBehind(host);
    if (save.refused) {
        if (result == kResultWriteError && saved.empty()) {
            CountSave(save);
            return problem;
        }
        return problem + save.Describe() + ": a refused mode or depth saved with " + std::to_string(result) +
               ", leaving " + std::to_string(saved.size()) + " bytes";
    }
    if (result != kResultNoError) return problem + "save ended with " + std::to_string(result);
    if (!problem.empty()) return problem;

    SpngFile decoded;
    problem = DecodeAndCompareRows(save, saved, &decoded);
    if (problem.empty() && decoded.error != 0) return "libspng refuses the saved file: " + SpngErrorText(decoded.error);
    if (problem.empty()) problem = CheckPalette(save, decoded);
    if (problem.empty()) problem = CheckPhysicalSize(save, decoded);
    if (problem.empty()) problem = save.CheckFileInfoChunks(decoded);
    if (problem.empty()) problem = CheckColourDescription(save, decoded);
    if (problem.empty()) problem = CheckCompressionLevel(save, saved);
    if (problem.empty()) problem = CheckFilters(save, saved);
    if (problem.empty()) problem = CheckEstimate(save.image, session.block);
    if (problem.empty()) problem = CheckHostCalls(save, session);
    std::function<int16_t()> prepare;
    if (save.withoutOptions) prepare = [&] { return PrepareSaveWithoutOptions(&session); };
    if (problem.empty() && answer.kind != HostAnswerKind::None)
        problem = CheckSaveUnderHostAnswer(host, answer, TakeSaveRun(session, result, saved),
                                           [&](int again) { return SaveSteps(&session, save, again); }, prepare);
    if (!problem.empty()) return save.Describe() + ": " + problem;
    CountSave(save);
    return problem;
}
