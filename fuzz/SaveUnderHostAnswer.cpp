#include "fuzz/SaveUnderHostAnswer.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "fuzz/HostSteps.h"
#include "pnghost/host/Desktop.h"
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
    if (run.progress.size() != call + 1 || !SameReports(run, plain, call + 1))
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

// Where the file stops growing: a share of the plain save's length, or, at
// the last share, all of it but its last byte, so that the end chunk itself
// finds no room.
size_t RoomForTheSave(const HostAnswer &answer, size_t plainLength) {
    const int32_t share = answer.place >> 1;
    if (share == kFileShares - 1) return plainLength > 0 ? plainLength - 1 : 0;
    return plainLength * static_cast<size_t>(share) / kFileShares;
}

// A save the file stopped: the plain save's first bytes, then what a failed
// save still puts out as far as it found room, then the zeros of the room
// never written. libpng writes a chunk in pieces (length and type, data,
// CRC), each whole or not at all; after the failure the flush of the image
// data may get no further than an image data chunk's first piece, and the
// end chunk as many of its pieces as fit.
bool PrefixThenEnd(const std::vector<uint8_t> &plain, const std::vector<uint8_t> &file) {
    static const uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    const size_t chunkStart = 8;
    const size_t same = static_cast<size_t>(
        std::mismatch(file.begin(), file.begin() + static_cast<ptrdiff_t>(std::min(file.size(), plain.size())),
                      plain.begin())
            .first -
        file.begin());
    size_t used = file.size();
    while (used > 0 && file[used - 1] == 0) --used;
    const auto endsTheFile = [&](size_t at) {
        return used - at <= sizeof kEnd && std::equal(file.begin() + static_cast<ptrdiff_t>(at),
                                                      file.begin() + static_cast<ptrdiff_t>(used), kEnd);
    };
    const auto startsImageData = [&](size_t at) {
        return used - at >= chunkStart && std::memcmp(&file[at + 4], "IDAT", 4) == 0;
    };
    const size_t furthest = sizeof kEnd + chunkStart;
    for (size_t written = used > furthest ? used - furthest : 0; written <= std::min(same, used); ++written)
        if (endsTheFile(written) || (startsImageData(written) && endsTheFile(written + chunkStart))) return true;
    return false;
}

// The save stopped where the file could grow no more: the bytes that went
// out are the plain save's first ones, the rows and progress reports a
// prefix of the plain save's.
FuzzProblem StoppedByTheFile(const SaveRun &plain, const SaveRun &run) {
    FuzzProblem problem = ResultIs(run.result, kResultWriteError);
    if (!PrefixThenEnd(plain.file, run.file))
        problem += "the file's " + std::to_string(run.file.size()) +
                   " bytes are not the plain save's first ones, then the pieces of the end as far as they fit; ";
    if (!SameRows(run, plain, run.rows.size()))
        problem += std::to_string(run.rows.size()) + " rows asked for, not a prefix of the plain save's; ";
    if (!SameReports(run, plain, run.progress.size()))
        problem += std::to_string(run.progress.size()) + " progress reports, not a prefix of the plain save's; ";
    return problem;
}

// The host's own steps change nothing of the save.
FuzzProblem AsPlain(const SaveRun &plain, const SaveRun &run) {
    FuzzProblem problem = ResultIs(run.result, plain.result);
    if (run.file != plain.file) problem += "the file differs from the plain save's; ";
    if (run.rows.size() != plain.rows.size()) problem += std::to_string(run.rows.size()) + " rows asked for; ";
    if (run.progress.size() != plain.progress.size())
        problem += std::to_string(run.progress.size()) + " progress reports; ";
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
        case HostAnswerKind::FileFails:
            if (run.file.size() >= plain.file.size()) return AsPlain(plain, run);
            return StoppedByTheFile(plain, run);
        case HostAnswerKind::HostSteps: return AsPlain(plain, run);
        case HostAnswerKind::CallbackLeftOut: {
            // The save goes as the plain one; without the progress callback,
            // unreported.
            SaveRun reported = run;
            if (LeavesOutProgress(answer)) reported.progress = plain.progress;
            return AsPlain(plain, reported);
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
    static_cast<HostRun &>(run) = TakeHostRun(session, result);
    run.file = std::move(file);
    return run;
}

FuzzProblem CheckSaveUnderHostAnswer(FuzzHost *host, const HostAnswer &answer, const SaveRun &plain,
                                     const std::function<int16_t(int file)> &save,
                                     const std::function<int16_t()> &prepare) {
    HostSession &session = host->session;
    const int16_t prepared = prepare ? prepare() : int16_t{kResultNoError};
    if (prepared != kResultNoError) return "before the answered save: ended with " + std::to_string(prepared);
    const int file = answer.kind == HostAnswerKind::FileFails
                         ? FileThatStopsGrowing("fuzz-save-answered", RoomForTheSave(answer, plain.file.size()))
                         : MemoryFile("fuzz-save-answered", nullptr, 0);
    if (file < 0) return HarnessFault("no memory file");
    const int32_t call = ArmHostAnswer(&session, answer, plain.calls);
    int16_t result = kResultNoError;
    Win32ClearAlerts();
    const HostSteps steps = ReadHostSteps(answer.place);
    FuzzProblem problem;
    if (answer.kind == HostAnswerKind::HostSteps) {
        problem = TakeHostStepsBefore(&session, steps);
        // A click on the options dialog away from its controls, before the
        // person's choices.
        QueuePersonAction(PersonAction::ClickBody);
    }
    const size_t dialogsBefore = DialogsShown();
    if (call >= 0) result = save(file);
    DisarmHostAnswer(&session);
    // A save without the options dialog leaves the click unplayed.
    ForgetPersonActions();
    if (answer.kind == HostAnswerKind::HostSteps && DialogsShown() > dialogsBefore)
        problem += CheckDialogPlacement(steps);
    EndHostSteps(&session);
    const SaveRun run = TakeSaveRun(session, result, MemoryFileBytes(file));
    close(file);
    if (call < 0) return {};
    problem += LeftBehind(host) + AnsweredAsDesigned(answer, static_cast<size_t>(call), plain, run);
    if (problem.empty()) return problem;
    return HostAnswerName(answer) + " at call " + std::to_string(call) + ": " + problem;
}
