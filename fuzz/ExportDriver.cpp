// Arbitrary bytes as the host's image resources, saved with the File Info
// option on. Whatever the resources hold, the save must succeed, leave
// nothing allocated, and write a PNG file libpng reads whole, whose only
// texts are the ones the module writes; where the resources' layout leaves
// no doubt (fuzz/StrictResourceWalk.h), its texts and tIME must be exactly
// those the File Info gives, as libspng reads them. The first byte says how the host
// answers part way through a second save of the same image
// (fuzz/HostAnswers.h); the rest are the resources.
#include <png.h>
#include <setjmp.h>
#include <unistd.h>

#include <cstring>

#include "fuzz/FuzzHost.h"
#include "fuzz/OutcomeCounts.h"
#include "fuzz/SaveUnderHostAnswer.h"
#include "fuzz/StrictResourceWalk.h"
#include "pnghost/host/Operations.h"

namespace {

const char *const kKeywordsWritten[] = {"Software", "Instructions", "ByLine", "Title",  "City",       "Province",
                                        "Country",  "Headline",     "Author", "Source", "Description", "Writer"};
// The module writes "Software" and at most 18 captions.
const int kMostTexts = 19;

struct MemoryInput {
    const uint8_t *bytes;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep data, size_t length) {
    auto *input = static_cast<MemoryInput *>(png_get_io_ptr(png));
    if (length > input->size - input->at) png_error(png, "file ends early");
    std::memcpy(data, input->bytes + input->at, length);
    input->at += length;
}

void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Plain C inside the jump: the keywords go out through a fixed table.
bool DecodeWhole(MemoryInput *input, png_bytep row, size_t rowRoom, char keywords[][80], int *textCount) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, input, ReadFromMemory);
    png_read_info(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) > rowRoom) png_error(png, "row too long");
    for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y) png_read_row(png, row, nullptr);
    png_read_end(png, info);
    png_textp texts = nullptr;
    *textCount = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < *textCount && i <= kMostTexts; ++i) {
        std::strncpy(keywords[i], texts[i].key, 79);
        keywords[i][79] = 0;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool IsWrittenKeyword(const char *keyword) {
    for (const char *known : kKeywordsWritten)
        if (std::strcmp(keyword, known) == 0) return true;
    return false;
}

// Checks the saved file; `captions` counts its texts other than "Software".
FuzzProblem CheckSavedFile(const std::vector<uint8_t> &file, int *captions) {
    MemoryInput input{file.data(), file.size(), 0};
    png_byte row[64];
    char keywords[kMostTexts + 1][80];
    int textCount = 0;
    if (!DecodeWhole(&input, row, sizeof row, keywords, &textCount)) return "the saved file does not decode";
    if (textCount > kMostTexts) return std::to_string(textCount) + " texts written";
    for (int i = 0; i < textCount; ++i) {
        if (!IsWrittenKeyword(keywords[i])) return std::string("text keyword ") + keywords[i] + " written";
        if (std::strcmp(keywords[i], "Software") != 0) ++*captions;
    }
    return {};
}

// The texts and tIME held against what the resources' File Info gives, when
// their layout leaves no doubt; `compared` says whether it did.
FuzzProblem CheckExport(const HostSession &session, const std::vector<uint8_t> &saved, bool *compared) {
    SaveCase expected;
    expected.choices.writeFileInfo = true;
    expected.hostSignature = session.hostSignature;
    *compared = WalkResourcesStrictly(session.image.resources, &expected.fileInfoBlocks);
    if (!*compared) return {};
    return expected.CheckFileInfoChunks(DecodeWithSpng(saved.data(), saved.size()));
}

// The input's class in the counts: a save whose File Info gave captions is
// what this target checks the export of.
void CountSave(int captions, bool compared) {
    if (captions == 0)
        CountOutcome("saved and decoded: no caption from the resources", false);
    else if (!compared)
        CountOutcome("saved and decoded: captions from the resources, their keywords checked", true);
    else
        CountOutcome("saved and decoded: captions from the resources, each text and the date compared", true);
}

HostImage SmallImage() {
    HostImage image;
    image.mode = kModeRGB;
    image.planes = 3;
    image.rows = 3;
    image.columns = 5;
    AllocateHostImage(&image);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 17);
    return image;
}

}  // namespace

FuzzProblem RunFileInfoExportInput(FuzzHost *host, const uint8_t *data, size_t size) {
    // A host handle's size is a signed 32-bit number.
    if (size == 0 || size > INT32_MAX) return {};
    const HostAnswer answer = ReadHostAnswer(data[0]);
    HostSession &session = host->session;
    // The open target leaves whatever monitor gamma it picked; this target
    // saves under the editor's usual 2.2.
    session.monitor.gamma = 144179;
    session.image = SmallImage();
    session.image.resources.assign(data + 1, data + size);
    SaveChoices choices;
    choices.writeFileInfo = true;
    const auto save = [&](int file) {
        StartCounting(&session);
        return SaveWithModule(&session, file, choices);
    };
    const int file = MemoryFile("fuzz-export", nullptr, 0);
    if (file < 0) return HarnessFault("no memory file");
    const int16_t result = save(file);
    const std::vector<uint8_t> saved = MemoryFileBytes(file);
    close(file);

    FuzzProblem problem = LeftBehind(host);
    if (result != kResultNoError) return problem + "save ended with " + std::to_string(result);
    int captions = 0;
    problem += CheckSavedFile(saved, &captions);
    bool compared = false;
    if (problem.empty()) problem = CheckExport(session, saved, &compared);
    CountSave(captions, compared);
    if (!problem.empty() || answer.kind == HostAnswerKind::None) return problem;
    return CheckSaveUnderHostAnswer(host, answer, TakeSaveRun(session, result, saved), save);
}
