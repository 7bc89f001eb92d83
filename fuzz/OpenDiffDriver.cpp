// Arbitrary bytes opened as a file by the module, as the editor opens one,
// and decoded by libspng: where both accept the file, the host must hold
// exactly what libspng's decoding says it must (mode, size, planes, every
// sample, look-up tables, resolution, File Info), row by row, so images of
// any size the host can hold are compared. Where only one side accepts, the
// difference must be of a known class. The first input byte says whether
// every chunk's CRC is made right first (bit 0), so that changes to chunk
// contents get past the CRC check, and picks the monitor gamma (bits 1-3);
// the second how the host answers part way through a second open of the
// same file (fuzz/HostAnswers.h); the rest is the file.
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "fuzz/FuzzHost.h"
#include "fuzz/OpenDiffClasses.h"
#include "fuzz/OpenUnderHostAnswer.h"
#include "fuzz/OutcomeCounts.h"
#include "fuzz/ProgressRules.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/Operations.h"
#include "tests/reference/HostExpectation.h"
#include "tests/reference/RowComparison.h"

namespace {

// What the host holds before the open: tables and a resolution that no file
// gives, so that any change the module makes shows.
HostBefore Before() {
    HostBefore before;
    for (int i = 0; i < 256; ++i) {
        before.red[i] = static_cast<uint8_t>(i);
        before.green[i] = static_cast<uint8_t>(255 - i);
        before.blue[i] = static_cast<uint8_t>(i ^ 0x5A);
    }
    before.horizontalResolution = 0x7F0F1234;
    before.verticalResolution = 0x7E0E4321;
    return before;
}

void GiveHost(HostFormatBlock *block, const HostBefore &before) {
    std::memcpy(block->redLookUpTable, before.red, 256);
    std::memcpy(block->greenLookUpTable, before.green, 256);
    std::memcpy(block->blueLookUpTable, before.blue, 256);
    block->horizontalResolution = before.horizontalResolution;
    block->verticalResolution = before.verticalResolution;
}

// What read-start told the host; the pixels are kept when the host can hold
// them, as the editor holds any image up to its memory.
bool TakeDescription(HostSession *session) {
    HostImage &image = session->image;
    TakeDescriptionFromBlock(session->block, &image);
    image.pixels.clear();
    if (image.rows <= 0 || image.columns <= 0) return false;
    return AllocateHostImage(&image);
}

OpenOutcome OpenThroughHost(HostSession *session, int file, const HostBefore &before) {
    ResetHostBlock(session);
    session->block.fileHandle = HostFileHandle(file);
    GiveHost(&session->block, before);
    session->flow = PixelFlow::None;
    StartCounting(session);
    OpenOutcome outcome;
    outcome.result = CallSelector(session, kSelectorFilterFile);
    if (outcome.result != kResultNoError) return outcome;
    outcome.stage = OpenStage::ReadStart;
    outcome.result = CallSelector(session, kSelectorReadPrepare);
    if (outcome.result == kResultNoError) outcome.result = CallSelector(session, kSelectorReadStart);
    if (outcome.result != kResultNoError) {
        CallSelector(session, kSelectorReadFinish);
        return outcome;
    }
    outcome.stage = OpenStage::ReadContinue;
    outcome.pixelsKept = TakeDescription(session);
    session->flow = outcome.pixelsKept ? PixelFlow::ToImage : PixelFlow::None;
    outcome.result = CallSelector(session, kSelectorReadContinue);
    session->flow = PixelFlow::None;
    const int16_t finish = CallSelector(session, kSelectorReadFinish);
    if (outcome.result == kResultNoError) outcome.result = finish;
    return outcome;
}

template <typename T>
std::string Differs(const char *what, T host, T expected) {
    if (host == expected) return {};
    return std::string(what) + " " + std::to_string(host) + ", expected " + std::to_string(expected) + "; ";
}

std::string FirstDifference(const char *what, const uint8_t *host, const uint8_t *expected, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (host[i] != expected[i])
            return std::string(what) + " differ at byte " + std::to_string(i) + ": " + std::to_string(host[i]) +
                   ", expected " + std::to_string(expected[i]) + "; ";
    return {};
}

std::string FileInfoDifference(const std::vector<uint8_t> &host, const std::vector<uint8_t> &expected) {
    if (host == expected) return {};
    return "File Info of " + std::to_string(host.size()) + " bytes, the file's texts make " +
           std::to_string(expected.size()) + " bytes; " +
           FirstDifference("they", host.data(), expected.data(), std::min(host.size(), expected.size()));
}

FuzzProblem CompareDescription(const HostImage &image, const HostExpectation &expected) {
    FuzzProblem problem = Differs("mode", image.mode, expected.mode) + Differs("depth", image.depth, expected.depth) +
                          Differs("planes", image.planes, expected.planes) +
                          Differs("rows", image.rows, expected.rows) +
                          Differs("columns", image.columns, expected.columns) +
                          Differs("horizontal resolution", image.horizontalResolution, expected.horizontalResolution) +
                          Differs("vertical resolution", image.verticalResolution, expected.verticalResolution);
    if (!problem.empty()) return problem;
    problem += FirstDifference("red look-up tables", image.red, expected.red, 256);
    problem += FirstDifference("green look-up tables", image.green, expected.green, 256);
    problem += FirstDifference("blue look-up tables", image.blue, expected.blue, 256);
    return problem + FileInfoDifference(image.resources, expected.fileInfo);
}

// What the host received, held against libspng's decoding of a file as it
// goes: the description at the first row, then every row as it comes.
struct HostComparison {
    const HostImage &image;
    const StoredChunks &chunks;
    const HostBefore &before;
    bool pixelsKept;

    std::string operator()(const uint8_t *file, size_t size, SpngFile *decoded) const {
        bool described = false;
        const HostRows rows{image.pixels.data(), static_cast<size_t>(HostImageRowBytes(image)), image.planes};
        const auto expect = [&](const SpngFile &header, HostExpectation *expected) -> std::string {
            described = true;
            *expected = ExpectOnOpen(header, chunks, before);
            if (!expected->describable)
                return "the module opened a file of colour type " + std::to_string(header.colorType);
            const std::string problem = CompareDescription(image, *expected);
            if (problem.empty() && !pixelsKept) return "the host could not hold the image it was given";
            return problem;
        };
        std::string problem = CompareRowsWithHost(file, size, rows, expect, decoded);
        if (problem.empty() && !described && decoded->error == 0)
            problem = "the module opened a file of which libspng decoded no row";
        return problem;
    }
};

uint32_t Big32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// Every whole chunk after the signature gets the CRC of its type and data.
void MakeCrcsRight(std::vector<uint8_t> *file) {
    uint8_t *bytes = file->data();
    size_t at = 8;
    while (file->size() >= 12 && at <= file->size() - 12) {
        const uint32_t length = Big32(bytes + at);
        if (length > file->size() - at - 12) return;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, bytes + at + 4, length + 4));
        for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

// The control byte's bits 1 to 3: the editor's monitor gamma, none or one
// of a spread of real ones (1.0, 1.8, 2.2, 2.5, 0.45, 4.0, 0.1).
const HostFixed kMonitorGammas[8] = {0, 65536, 117965, 144179, 163840, 29491, 262144, 6554};

HostBefore BeforeUnder(HostFixed monitorGamma) {
    HostBefore before = Before();
    before.monitorGamma = monitorGamma;
    return before;
}

OpenOutcome OpenBytes(HostSession *session, const uint8_t *data, size_t size, const HostBefore &before) {
    OpenOutcome outcome;
    outcome.result = kResultOutOfMemory;
    const int file = FileAsHostOpensIt(MemoryFile("fuzz-open-diff", data, size));
    if (file < 0) return outcome;
    outcome = OpenThroughHost(session, file, before);
    close(file);
    return outcome;
}

FuzzProblem CompareOpens(FuzzHost *host, const uint8_t *data, size_t size, const HostBefore &before,
                         int16_t *result) {
    HostSession &session = host->session;
    const StoredChunks chunks = ReadStoredChunks(data, size);
    const OpenOutcome outcome = OpenBytes(&session, data, size, before);
    *result = outcome.result;
    FuzzProblem problem = LeftBehind(host);
    if (!problem.empty()) return problem;

    const HostComparison compare{session.image, chunks, before, outcome.pixelsKept};
    const bool moduleAccepts = outcome.result == kResultNoError;
    SpngFile reference;
    if (moduleAccepts) {
        problem = compare(data, size, &reference);
        const int32_t rows = session.block.imageRows, columns = session.block.imageColumns;
        const bool interlaced = data[28] != 0;
        if (problem.empty())
            problem = CheckProgress(session.progress, OpenProgress(rows, columns, interlaced)) +
                      CheckOpenAbortTests(session.abortTests, rows, columns, interlaced);
        if (!problem.empty()) return problem;
        if (reference.error == 0) return CheckAgreement(data, size);
    } else {
        reference = DecodeWithSpng(data, size);
    }
    return CheckAcceptance(data, size, outcome, reference, compare);
}

}  // namespace

FuzzProblem RunOpenDiffInput(FuzzHost *host, const uint8_t *data, size_t size) {
    if (size < 2) {
        CountOutcome("empty input", false);
        return {};
    }
    std::vector<uint8_t> file(data + 2, data + size);
    if ((data[0] & 1) != 0) MakeCrcsRight(&file);
    HostSession &session = host->session;
    const HostBefore before = BeforeUnder(kMonitorGammas[(data[0] >> 1) & 7]);
    session.monitor = HostMonitor{};
    session.monitor.gamma = before.monitorGamma;
    int16_t result = kResultNoError;
    const FuzzProblem problem = CompareOpens(host, file.data(), file.size(), before, &result);
    const HostAnswer answer = ReadHostAnswer(data[1]);
    if (!problem.empty() || answer.kind == HostAnswerKind::None) return problem;
    return CheckOpenUnderHostAnswer(host, answer, TakeOpenRun(session, result, answer), [&] {
        return OpenBytes(&session, file.data(), file.size(), before).result;
    });
}
