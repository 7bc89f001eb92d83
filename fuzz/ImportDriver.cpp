// Arbitrary text lists into the File Info block. The whole list goes to
// PublishFileInfo directly; the part a PNG file can carry goes through a
// whole open of a file built from it, and both roads must give the host the
// same block, and the one the reference (tests/reference/HostExpectation.h)
// makes of the file's texts. The first byte says how the host answers part way through a
// second open of that file (fuzz/HostAnswers.h); the rest is the list
// (fuzz/TextListInput.h).
#include <unistd.h>

#include "fileinfo/FileInfoHandoff.h"
#include "fuzz/FuzzHost.h"
#include "fuzz/OpenUnderHostAnswer.h"
#include "fuzz/OutcomeCounts.h"
#include "fuzz/TextListInput.h"
#include "pnghost/host/ActiveSession.h"
#include "pnghost/host/Operations.h"
#include "tests/reference/HostExpectation.h"
#include "tests/reference/StoredChunks.h"

namespace {

uint32_t Big32(const uint8_t *at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// The block's own length field counts what follows its 12-byte header.
FuzzProblem CheckBlockLength(const std::vector<uint8_t> &block) {
    if (block.empty()) return {};
    if (block.size() < 12 || Big32(block.data() + 8) != block.size() - 12) return "block length field is wrong; ";
    return {};
}

// PublishFileInfo on the host's handle suite, as read-start calls it; the
// block the host receives, empty when none.
std::vector<uint8_t> PublishDirectly(HostSession *session, const TextListInput &list) {
    std::vector<PngTextEntry> entries = ModuleEntries(list);
    PngTextList texts{};
    texts.entries = entries.empty() ? nullptr : entries.data();
    texts.room = texts.count = static_cast<int32_t>(entries.size());
    texts.hasTime = list.hasTime;
    texts.time = list.time;

    ResetHostBlock(session);
    PluginState state{};
    state.hostBlock = &session->block;
    HostSession *previous = ActiveSession();
    SetActiveSession(session);
    PublishFileInfo(state, texts);
    SetActiveSession(previous);

    std::vector<uint8_t> block;
    HostHandle handle = session->block.imageResources;
    if (handle == nullptr) return block;
    const auto *data = static_cast<const uint8_t *>(handle->data);
    block.assign(data, data + session->block.imageResourcesSize);
    DisposeHostHandle(session, handle);
    session->block.imageResources = nullptr;
    return block;
}

// The input's class in the counts: a list of which a file carries some
// File Info is what this target compares.
void CountImport(const std::vector<uint8_t> &whole, const std::vector<uint8_t> &carried) {
    if (carried.empty())
        CountOutcome("no File Info in the file", false);
    else if (carried == whole)
        CountOutcome("File Info compared: the file carries all of the list", true);
    else
        CountOutcome("File Info compared: the file carries part of the list", true);
}

}  // namespace

FuzzProblem RunFileInfoImportInput(FuzzHost *host, const uint8_t *data, size_t size) {
    if (size == 0) return {};
    const HostAnswer answer = ReadHostAnswer(data[0]);
    HostSession &session = host->session;
    const TextListInput list = DecodeTextListInput(data + 1, size - 1);
    const std::vector<uint8_t> whole = PublishDirectly(&session, list);
    FuzzProblem problem = LeftBehind(host) + CheckBlockLength(whole);

    const TextListInput carried = FileCarriedPart(list);
    const std::vector<uint8_t> expected = PublishDirectly(&session, carried);
    const std::vector<uint8_t> file = PngWithTexts(list);
    session.monitor.gamma = 0;
    const auto open = [&]() -> int16_t {
        const int descriptor = FileAsHostOpensIt(MemoryFile("fuzz-import", file.data(), file.size()));
        if (descriptor < 0) return kResultOutOfMemory;
        StartCounting(&session);
        const int16_t result = OpenWithModule(&session, descriptor);
        close(descriptor);
        return result;
    };
    const int16_t result = open();
    problem += LeftBehind(host);
    if (result != kResultNoError) return problem + "open ended with " + std::to_string(result);
    if (session.image.resources != expected) problem += "the open's block differs from the list's; ";
    if (session.image.resources != ExpectedFileInfo(ReadStoredChunks(file.data(), file.size())))
        problem += "the open's block differs from the reference's; ";
    CountImport(whole, expected);
    if (!problem.empty() || answer.kind == HostAnswerKind::None) return problem;
    return CheckOpenUnderHostAnswer(host, answer, TakeOpenRun(session, result, answer), open);
}
