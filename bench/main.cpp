// bench: the module's open and save against bare libpng doing the same work
// on the same generated images, and the module's peak memory.
//
//   bench [--side N] [--reps N] [--level9] [--files DIR] [--kind KIND]
//   bench --profile module-open|bare-open|module-save|bare-save [--kind KIND] [--side N] [--interlace]
//   bench --profile shown-picture [--kind KIND] [--side N]
//
// Each time is the best of --reps runs (module and bare libpng taking turns),
// files live in memory (memfd; on Windows temporary files in the system's
// cache) so that no disk time enters. --files writes the PNG files opened
// here, and the images as netpbm files, for the whole-process comparison in
// scripts/bench.sh. --kind measures one kind of image only, e.g. the short
// indexed rows with many more runs. The shown-picture profile times, alone,
// pnghost view's dearest paint: a whole 1024 x 768 window of the image
// fitted to it, which reads every pixel of a large image.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BareLibpng.h"
#include "bench/Images.h"
#include "bench/ModuleSteps.h"
#include "bench/Platform.h"
#include "pnghost/formats/PamFile.h"
#include "pnghost/window/ShownImage.h"

namespace {

struct Options {
    int16_t side = 4096;
    int reps = 3;
    int level = 1;  // the options dialog's best-speed setting; --level9 for best size
    std::string filesDir;
    std::string profile;
    ImageKind kind = ImageKind::RGB;
    bool kindGiven = false;
    bool interlace = false;
};

struct CaseResult {
    double moduleOpen = 1e9, bareOpen = 1e9, moduleSave = 1e9, bareSave = 1e9;
    size_t openPeak = 0, savePeak = 0, smallOpenPeak = 0, smallSavePeak = 0;
    size_t moduleFileBytes = 0, bareFileBytes = 0;
    bool saved = false;
    bool ok = true;
};

double Since(double start) { return ClockSeconds() - start; }

int Rewound(int file) {
    lseek(file, 0, SEEK_SET);
    return file;
}

int Emptied(int file) {
    if (ftruncate(file, 0) != 0) std::perror("ftruncate");
    return Rewound(file);
}

size_t FileBytes(int file) { return static_cast<size_t>(lseek(file, 0, SEEK_END)); }

void MeasureOpen(HostSession *session, int source, int reps, CaseResult *result) {
    for (int rep = 0; rep < reps; ++rep) {
        const ModuleRun run = ModuleOpen(session, Rewound(source));
        result->ok = result->ok && run.ok;
        result->moduleOpen = std::min(result->moduleOpen, run.seconds);
        result->openPeak = run.peakBytes;
        const double start = ClockSeconds();
        result->ok = BareDecode(Rewound(source)) && result->ok;
        result->bareOpen = std::min(result->bareOpen, Since(start));
    }
}

void MeasureSave(HostSession *session, const HostImage &image, bool interlace, const Options &options,
                 CaseResult *result) {
    const int out = NewMemoryFile("bench-save");
    session->image = image;
    for (int rep = 0; rep < options.reps; ++rep) {
        const ModuleRun run = ModuleSave(session, interlace, options.level == 1, Emptied(out));
        result->ok = result->ok && run.ok;
        result->moduleSave = std::min(result->moduleSave, run.seconds);
        result->savePeak = run.peakBytes;
        result->moduleFileBytes = FileBytes(out);
        const double start = ClockSeconds();
        result->ok = BareEncode(image, options.level, DefaultFilters(image), interlace, Emptied(out)) && result->ok;
        result->bareSave = std::min(result->bareSave, Since(start));
        result->bareFileBytes = FileBytes(out);
    }
    result->saved = true;
    close(out);
}

// The same open and save of a quarter-side image: the memory that grows with
// the image shows against the memory that does not.
void MeasureSmall(HostSession *session, ImageKind kind, bool interlace, bool save, int level, CaseResult *result) {
    const HostImage image = MakeImage(kind, 1024);
    const int file = NewMemoryFile("bench-small");
    BareEncode(image, 6, DefaultFilters(image), interlace, file);
    result->smallOpenPeak = ModuleOpen(session, Rewound(file)).peakBytes;
    if (save) {
        session->image = image;
        result->smallSavePeak = ModuleSave(session, interlace, level == 1, Emptied(file)).peakBytes;
    }
    close(file);
}

void WriteFiles(const std::string &dir, const std::string &name, const HostImage &image, int source) {
    const std::string path = dir + "/" + name + ".png";
    FILE *out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::vector<uint8_t> bytes(FileBytes(source));
    if (read(Rewound(source), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) bytes.clear();
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    std::string error;
    WritePamFile(image, dir + "/" + name + ".pam", &error);
}

std::string Megabytes(size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", bytes / 1048576.0);
    return text;
}

// The module's memory, where it is counted.
std::string Kilobytes(size_t bytes) {
    if (!CountsGlobalMemory()) return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f KB", bytes / 1024.0);
    return text;
}

void PrintHeader(const Options &options) {
    std::printf("Images %d x %d; best of %d runs; save at zlib level %d, default filters, 16384-byte buffer.\n\n",
                options.side, options.side, options.reps, options.level);
    std::printf("| image | interlace | open: module | bare libpng | ratio | save: module | bare libpng | ratio | "
                "image size | module peak, open (1024² / %d²) | module peak, save (1024² / %d²) | "
                "file bytes, module / bare |\n",
                options.side, options.side);
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
}

// The two times and their ratio. The CPU clock under Wine ticks every 10 ms
// and two readings within one tick may differ by a hair either way, so a
// time below half a millisecond reads as zero and gives no ratio.
void PrintTimes(double module, double bare) {
    const double kNoise = 0.0005;
    if (module < kNoise) module = 0;
    if (bare < kNoise) bare = 0;
    std::printf(" %.1f ms | %.1f ms |", module * 1000, bare * 1000);
    if (bare > 0)
        std::printf(" %.3f |", module / bare);
    else
        std::printf(" n/a |");
}

void PrintRow(ImageKind kind, bool interlace, const HostImage &image, const CaseResult &r) {
    std::printf("| %s | %s |", KindName(kind), interlace ? "Adam7" : "none");
    PrintTimes(r.moduleOpen, r.bareOpen);
    if (r.saved)
        PrintTimes(r.moduleSave, r.bareSave);
    else
        std::printf(" n/a | n/a | n/a |");
    std::printf(" %s | %s / %s |", Megabytes(image.pixels.size()).c_str(), Kilobytes(r.smallOpenPeak).c_str(),
                Kilobytes(r.openPeak).c_str());
    if (r.saved)
        std::printf(" %s / %s |", Kilobytes(r.smallSavePeak).c_str(), Kilobytes(r.savePeak).c_str());
    else
        std::printf(" n/a |");
    if (r.saved)
        std::printf(" %zu / %zu |", r.moduleFileBytes, r.bareFileBytes);
    else
        std::printf(" n/a |");
    std::printf("%s\n", r.ok ? "" : " FAILED");
    std::fflush(stdout);
}

const ImageKind kKinds[] = {ImageKind::RGB, ImageKind::RGBA, ImageKind::Gray, ImageKind::Indexed, ImageKind::Bitmap};

bool KindNamed(const std::string &name, ImageKind *kind) {
    for (ImageKind candidate : kKinds)
        if (name == KindName(candidate)) {
            *kind = candidate;
            return true;
        }
    return false;
}

bool ParseOptions(int argc, char **argv, Options *options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--level9") options->level = 9;
        else if (arg == "--side" && i + 1 < argc) options->side = static_cast<int16_t>(std::atoi(argv[++i]));
        else if (arg == "--reps" && i + 1 < argc) options->reps = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--files" && i + 1 < argc) options->filesDir = argv[++i];
        else if (arg == "--profile" && i + 1 < argc) options->profile = argv[++i];
        else if (arg == "--interlace") options->interlace = true;
        else if (arg == "--kind" && i + 1 < argc) {
            if (!KindNamed(argv[++i], &options->kind)) return false;
            options->kindGiven = true;
        } else
            return false;
    }
    return options->side >= 16;
}

// The viewer's picture of a whole window of the image fitted to it, the best
// of --reps makings.
int ProfileShownPicture(const HostImage &image, const Options &options) {
    const int32_t width = 1024, height = 768;
    const Zoom zoom = FittingZoom(image.columns, image.rows, width, height);
    const ShownPart part{0, 0, static_cast<int32_t>(std::min<int64_t>(width, ZoomedLength(image.columns, zoom))),
                         static_cast<int32_t>(std::min<int64_t>(height, ZoomedLength(image.rows, zoom)))};
    double best = 1e9;
    for (int rep = 0; rep < options.reps; ++rep) {
        ShownImage picture;
        std::string error;
        const double start = ClockSeconds();
        if (!MakeShownPart(image, zoom, part, &picture, &error)) {
            std::fprintf(stderr, "bench: %s\n", error.c_str());
            return 1;
        }
        best = std::min(best, Since(start));
    }
    std::printf("shown picture of a %d x %d %s image fitted to %d x %d at %s: %.1f ms\n", options.side, options.side,
                KindName(options.kind), width, height, ZoomPercent(zoom).c_str(), best * 1000);
    return 0;
}

// One operation on one image, nothing else measured.
int Profile(HostSession *session, const Options &options) {
    const HostImage image = MakeImage(options.kind, options.side);
    if (options.profile == "shown-picture") return ProfileShownPicture(image, options);
    const int file = NewMemoryFile("bench-profile");
    bool ok = false;
    if (options.profile == "module-save" || options.profile == "bare-save") {
        session->image = image;
        ok = options.profile == "module-save"
                 ? ModuleSave(session, options.interlace, options.level == 1, file).ok
                 : BareEncode(image, options.level, DefaultFilters(image), options.interlace, file);
    } else {
        BareEncode(image, 6, DefaultFilters(image), options.interlace, file);
        ok = options.profile == "module-open" ? ModuleOpen(session, Rewound(file)).ok : BareDecode(Rewound(file));
    }
    close(file);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: bench [--side N] [--reps N] [--level9] [--files DIR] [--kind KIND]\n"
                     "       bench --profile module-open|bare-open|module-save|bare-save [--kind KIND] [--side N]"
                     " [--interlace]\n"
                     "       bench --profile shown-picture [--kind KIND] [--side N]\n"
                     "KIND: RGB, RGBA, gray, indexed, 1-bit\n");
        return 2;
    }
    HostSession session;
    std::string error;
    if (!OpenHostSession(&session, ModuleBesideProgram(), &error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return 2;
    }
    session.monitor.gamma = 0;  // samples as stored, as the bare decode gives them
    CallSelector(&session, kSelectorOptionsContinue);  // the state block, outside every measure
    if (!options.profile.empty()) {
        const int status = Profile(&session, options);
        CloseHostSession(&session);
        return status;
    }
    PrintHeader(options);
    bool allOk = true;
    for (ImageKind kind : kKinds) {
        if (options.kindGiven && kind != options.kind) continue;
        const HostImage image = MakeImage(kind, options.side);
        for (bool interlace : {false, true}) {
            // The options dialog offers no interlacing for a bitmap.
            const bool save = !(interlace && kind == ImageKind::Bitmap);
            const int source = NewMemoryFile("bench-open");
            BareEncode(image, 6, DefaultFilters(image), interlace, source);
            CaseResult result;
            MeasureOpen(&session, source, options.reps, &result);
            if (save) MeasureSave(&session, image, interlace, options, &result);
            MeasureSmall(&session, kind, interlace, save, options.level, &result);
            if (!options.filesDir.empty())
                WriteFiles(options.filesDir, std::string(KindName(kind)) + (interlace ? "-adam7" : ""), image, source);
            close(source);
            PrintRow(kind, interlace, image, result);
            allOk = allOk && result.ok;
        }
    }
    CloseHostSession(&session);
    return allOk ? 0 : 1;
}
