#include "fuzz/OpenUnderHostAnswer.h"

#include <algorithm>
#include <cstring>

#include "fuzz/HostSteps.h"
#include "win32_layer.h"

namespace {

// The plain open's pixels are kept for the comparison up to this size.
const size_t kLargestPixelCopy = 64u << 20;

// The run handed the host the plain run's first `rows` rows and `reports`
// progress reports, and no more.
FuzzProblem PrefixOfPlain(const OpenRun &plain, const OpenRun &run, size_t rows, size_t reports) {
    FuzzProblem problem;
    if (run.rows.size() != rows || !SameRows(run, plain, rows))
        problem += std::to_string(run.rows.size()) + " rows asked to move, the first " + std::to_string(rows) +
                   " of the plain open expected; ";
    if (run.progress.size() != reports || !SameReports(run, plain, reports))
        problem += std::to_string(run.progress.size()) + " progress reports, the first " + std::to_string(reports) +
                   " of the plain open expected; ";
    return problem;
}

FuzzProblem ResultIs(int16_t result, int16_t expected) {
    if (result == expected) return {};
    return "ended with " + std::to_string(result) + ", expected " + std::to_string(expected) + "; ";
}

// The rows that reached the host before the failing one hold what the plain
// open gave them.
FuzzProblem SameRowsReceived(const OpenRun &plain, const OpenRun &run, size_t rows) {
    if (plain.pixels.empty() || run.pixels.size() != plain.pixels.size()) return {};
    const size_t bytes = std::min(run.pixels.size(), rows * static_cast<size_t>(plain.rowBytes));
    if (std::memcmp(run.pixels.data(), plain.pixels.data(), bytes) == 0) return {};
    return "the rows received before the failing one differ from the plain open's; ";
}

// Ends as the plain open ended, or stops early with one of `codes`; an
// open that stops (or that failed in the plain run too) hands over a prefix
// of what the plain open handed over, one that succeeds all of it.
FuzzProblem PlainOrStopped(const OpenRun &plain, const OpenRun &run, std::initializer_list<int16_t> codes) {
    const bool stopped = std::find(codes.begin(), codes.end(), run.result) != codes.end();
    if (!stopped && run.result != plain.result) return "ended with " + std::to_string(run.result) + "; ";
    if (run.result == kResultNoError) return PrefixOfPlain(plain, run, plain.rows.size(), plain.progress.size());
    return PrefixOfPlain(plain, run, std::min(run.rows.size(), plain.rows.size()),
                         std::min(run.progress.size(), plain.progress.size()));
}

// The check of the host's services runs at read-start, which a file the
// probe refuses never reaches: one alert where the plain open got through
// read-start, at most one otherwise.
FuzzProblem AlertsOfTheServiceCheck(const OpenRun &plain) {
    const size_t alerts = Win32AlertCount();
    if (alerts == 1 || (alerts == 0 && plain.result != kResultNoError)) return {};
    return std::to_string(alerts) + " alerts shown, one expected; ";
}

// Without the progress callback or the abort test the open goes as the
// plain one: the module must not call what the host left out, nor give up.
FuzzProblem WithoutCallback(const HostAnswer &answer, const OpenRun &plain, const OpenRun &run) {
    FuzzProblem problem = ResultIs(run.result, plain.result);
    if (run.rows.size() != plain.rows.size() || !SameRows(run, plain, plain.rows.size()))
        problem += std::to_string(run.rows.size()) + " rows asked to move, the plain open's expected; ";
    if (!LeavesOutProgress(answer) &&
        (run.progress.size() != plain.progress.size() || !SameReports(run, plain, plain.progress.size())))
        problem += "progress reports differ from the plain open's; ";
    return problem;
}

FuzzProblem AnsweredAsDesigned(const HostAnswer &answer, size_t call, const OpenRun &plain, const OpenRun &run) {
    switch (answer.kind) {
        case HostAnswerKind::Stop:
            // The stop is asked after each row of the first six passes, and
            // that row's progress is still reported; no row reaches the host.
            return ResultIs(run.result, kResultUserCancelled) + PrefixOfPlain(plain, run, 0, call + 1) +
                   (run.calls.abortTests == static_cast<int32_t>(call + 1) ? "" : "asked again after the stop; ");
        case HostAnswerKind::AdvanceFails:
            // The failing row's progress is still reported, after those of
            // the passes.
            return ResultIs(run.result, answer.code) +
                   PrefixOfPlain(plain, run, call + 1, static_cast<size_t>(plain.calls.abortTests) + call + 1) +
                   SameRowsReceived(plain, run, call);
        case HostAnswerKind::BufferRefused:
            return ResultIs(run.result, answer.code) + PrefixOfPlain(plain, run, 0, 0);
        case HostAnswerKind::LockFails:
            return (run.result == kResultNoError ? "went on without a row buffer; " : "") +
                   PrefixOfPlain(plain, run, 0, 0);
        case HostAnswerKind::HandleRefused:
            // The open goes on without File Info, or fails for want of memory.
            return PlainOrStopped(plain, run, {kResultOutOfMemory});
        case HostAnswerKind::MemoryRefused:
            return PlainOrStopped(plain, run, {kResultCannotRead, kResultOutOfMemory});
        case HostAnswerKind::SuiteBroken:
            // Read-start's check of the host's services fails.
            return (run.result == kResultNoError ? "opened without the services; " : "") +
                   PrefixOfPlain(plain, run, 0, 0) + AlertsOfTheServiceCheck(plain);
        case HostAnswerKind::FileFails:
            // The probe's read fails, and nothing else is tried.
            return ResultIs(run.result, kResultProbeReadError) + PrefixOfPlain(plain, run, 0, 0);
        case HostAnswerKind::HostSteps: return PlainOrStopped(plain, run, {});
        case HostAnswerKind::CallbackLeftOut: return WithoutCallback(answer, plain, run);
        case HostAnswerKind::None: break;
    }
    return {};
}

}  // namespace

OpenRun TakeOpenRun(const HostSession &session, int16_t result, const HostAnswer &answer) {
    OpenRun run;
    static_cast<HostRun &>(run) = TakeHostRun(session, result);
    if (answer.kind == HostAnswerKind::AdvanceFails && session.image.pixels.size() <= kLargestPixelCopy) {
        run.pixels = session.image.pixels;
        run.rowBytes = HostImageRowBytes(session.image);
    }
    return run;
}

FuzzProblem CheckOpenUnderHostAnswer(FuzzHost *host, const HostAnswer &answer, const OpenRun &plain,
                                     const std::function<int16_t()> &open) {
    HostSession &session = host->session;
    const int32_t call = ArmHostAnswer(&session, answer, plain.calls);
    if (call < 0) {
        DisarmHostAnswer(&session);
        return {};
    }
    Win32ClearAlerts();
    const HostSteps steps = ReadHostSteps(answer.place);
    FuzzProblem problem = answer.kind == HostAnswerKind::HostSteps ? TakeHostStepsBefore(&session, steps) : "";
    const int16_t result = open();
    DisarmHostAnswer(&session);
    EndHostSteps(&session);
    const OpenRun run = TakeOpenRun(session, result, answer);
    problem += LeftBehind(host);
    if (session.block.pixelData != nullptr) problem += "pixel data pointer left set; ";
    problem += AnsweredAsDesigned(answer, static_cast<size_t>(call), plain, run);
    if (problem.empty()) return problem;
    return HostAnswerName(answer) + " at call " + std::to_string(call) + " (plain open " +
           std::to_string(plain.result) + "): " + problem;
}
