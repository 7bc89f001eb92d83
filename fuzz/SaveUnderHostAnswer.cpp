#include "fuzz/SaveUnderHostAnswer.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "tests/module/PngFiles.h"
#include "tests/reference/RowFilters.h"
#include "win32_layer.h"

namespace {

FuzzProblem ResultIs(int16_t result, int16_t expected) {
    if (result == expected) return {};
    return "ended with " + std::to_string(result) + ", expected " + std::to_string(expected) + "; ";
}

// The file's bytes before its first image data chunk (or its end).
size_t HeaderLength(const std::vector<uint8_t> &file) {
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const size_t length = size_t{file[at]} << 24 | size_t{file[at + 1]} << 16 | size_t{file[at + 2]} << 8 |
                              file[at + 3];
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0 || std::memcmp(&file[at + 4], "IEND", 4) == 0) return at;
        at += 12 + length;
    }
    return file.size();
}

// Stopped at the host's failing row: the rows asked for and the progress
// reported are the plain save's up to that row, the failing one included;
// the file holds the plain save's chunks before the image data, then stored
// rows of those written before the stop, and ends with IEND.
FuzzProblem StoppedAtRow(const SaveRun &plain, const SaveRun &run, size_t call) {
    FuzzProblem problem;
    if (run.rows.size() != call + 1) problem += std::to_string(run.rows.size()) + " rows asked for; ";
    if (run.progress.size() != call + 1 ||
        !std::equal(run.progress.begin(), run.progress.end(), plain.progress.begin(),
                    [](const ProgressReport &a, const ProgressReport &b) {
                        return a.done == b.done && a.total == b.total;
                    }))
        problem += std::to_string(run.progress.size()) + " progress reports, not the plain save's first " +
                   std::to_string(call + 1) + "; ";
    const size_t header = HeaderLength(plain.file);
    if (run.file.size() < header || !std::equal(plain.file.begin(), plain.file.begin() + header, run.file.begin()))
        return problem + "the chunks before the image data differ from the plain save's; ";
    const std::vector<PngChunk> chunks = ListChunks(run.file);
    if (chunks.empty() || chunks.back().type != "IEND") return problem + "the file does not end with IEND; ";
    std::vector<StoredRow> written, whole;
    size_t bytesPerPixel = 0;
    ReadStoredRowsSoFar(run.file.data(), run.file.size(), &written, &bytesPerPixel);
    ReadStoredRows(plain.file.data(), plain.file.size(), &whole, &bytesPerPixel);
    // libpng 1.6 puts compressed data out only as its 16 KiB buffer fills;
    // the rows still in it when the save stops never reach the file
    // (docs/reliability.md). Those that do are the rows written.
    if (written.size() > call || whole.size() < call)
        return problem + std::to_string(written.size()) + " stored rows before IEND, at most " +
               std::to_string(call) + " expected; ";
    for (size_t i = 0; i < written.size(); ++i)
        if (written[i].raw != whole[i].raw) return problem + "stored row " + std::to_string(i) + " differs; ";
    return problem;
}

FuzzProblem AnsweredAsDesigned(const HostAnswer &answer, size_t call, const SaveRun &plain, const SaveRun &run) {
    switch (answer.kind) {
        case HostAnswerKind::AdvanceFails:
            // The host's own code is not passed on: a stopped save failed.
            return ResultIs(run.result, kResultWriteError) + StoppedAtRow(plain, run, call);
        case HostAnswerKind::BufferRefused:
            return ResultIs(run.result, answer.code) + (run.rows.empty() ? "" : "rows asked for; ");
        case HostAnswerKind::LockFails:
            return (run.result == kResultNoError ? "went on without a row buffer; " : "") +
                   std::string(run.rows.empty() ? "" : "rows asked for; ");
        case HostAnswerKind::MemoryRefused:
            if (run.result == kResultNoError && run.file == plain.file) return {};
            return ResultIs(run.result, kResultWriteError) +
                   (run.rows.size() <= plain.rows.size() ? "" : "more rows asked for than in the plain save; ");
        case HostAnswerKind::SuiteBroken: {
            // The options step's check of the host's services fails, with
            // one alert, and the save goes no further.
            const size_t alerts = Win32AlertCount();
            return (run.result == kResultNoError ? "saved without the services; " : "") +
                   std::string(run.file.empty() ? "" : "a file written; ") +
                   (alerts == 1 ? "" : std::to_string(alerts) + " alerts shown, one expected; ");
        }
        case HostAnswerKind::None:
        case HostAnswerKind::Stop:
        case HostAnswerKind::HandleRefused: break;
    }
    return {};
}

}  // namespace

SaveRun TakeSaveRun(const HostSession &session, int16_t result, std::vector<uint8_t> file) {
    SaveRun run;
    run.result = result;
    run.rows = session.advancedRects;
    run.progress = session.progress;
    run.calls = CountedCalls(session);
    run.file = std::move(file);
    return run;
}

FuzzProblem CheckSaveUnderHostAnswer(FuzzHost *host, const HostAnswer &answer, const SaveRun &plain,
                                     const std::function<int16_t(int file)> &save) {
    HostSession &session = host->session;
    const int file = MemoryFile("fuzz-save-answered", nullptr, 0);
    if (file < 0) return "no memory file";
    const int32_t call = ArmHostAnswer(&session, answer, plain.calls);
    int16_t result = kResultNoError;
    Win32ClearAlerts();
    if (call >= 0) result = save(file);
    DisarmHostAnswer(&session);
    const SaveRun run = TakeSaveRun(session, result, MemoryFileBytes(file));
    close(file);
    if (call < 0) return {};
    FuzzProblem problem = LeftBehind(host) + AnsweredAsDesigned(answer, static_cast<size_t>(call), plain, run);
    if (problem.empty()) return problem;
    return HostAnswerName(answer) + " at call " + std::to_string(call) + ": " + problem;
}
