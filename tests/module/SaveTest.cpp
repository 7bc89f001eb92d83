// Saving the host's image through the module, checked by decoding the file
// with plain libpng and by reading its chunks.
#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "ModuleFixture.h"
#include "PngFiles.h"
#include "TempFile.h"
#include "pnghost/host/Operations.h"
#include "resources/ResourceIds.h"

namespace {

struct ImageKind {
    const char *name;
    int16_t mode;
    int16_t depth;
    int16_t planes;
    int colorType;
    int bitDepth;
};

const ImageKind kKinds[] = {
    {"bitmap", kModeBitmap, 1, 1, PNG_COLOR_TYPE_GRAY, 1},
    {"gray", kModeGrayscale, 8, 1, PNG_COLOR_TYPE_GRAY, 8},
    {"gray+alpha", kModeGrayscale, 8, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8},
    {"indexed", kModeIndexed, 8, 1, PNG_COLOR_TYPE_PALETTE, 8},
    {"rgb", kModeRGB, 8, 3, PNG_COLOR_TYPE_RGB, 8},
    {"rgba", kModeRGB, 8, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8},
};

HostImage PatternImage(const ImageKind &kind, int16_t columns, int16_t rows) {
    HostImage image;
    image.mode = kind.mode;
    image.depth = kind.depth;
    image.planes = kind.planes;
    image.columns = columns;
    image.rows = rows;
    AllocateHostImage(&image);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 31 + i / 7);
    for (int i = 0; i < 256; ++i) {
        image.red[i] = static_cast<uint8_t>(i);
        image.green[i] = static_cast<uint8_t>(255 - i);
        image.blue[i] = static_cast<uint8_t>(i * 3);
    }
    return image;
}

const PngChunk *FindChunk(const std::vector<PngChunk> &chunks, const std::string &type) {
    for (const PngChunk &chunk : chunks)
        if (chunk.type == type) return &chunk;
    return nullptr;
}

uint32_t Big32(const std::vector<uint8_t> &data, size_t at) {
    return uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 | uint32_t{data[at + 2]} << 8 | data[at + 3];
}

std::vector<std::string> ChunkTypes(const std::vector<PngChunk> &chunks) {
    std::vector<std::string> types;
    for (const PngChunk &chunk : chunks)
        if (types.empty() || types.back() != chunk.type) types.push_back(chunk.type);
    return types;
}

}  // namespace

class SaveTest : public ModuleTest {
protected:
    int16_t Save(const HostImage &image, const SaveChoices &choices, std::vector<uint8_t> *bytes) {
        TempFile file(std::string{});
        const int descriptor = open(file.path().c_str(), O_RDWR | O_TRUNC);
        session.image = image;
        session.progress.clear();
        session.advancedRects.clear();
        const int16_t result = SaveWithModule(&session, descriptor, choices);
        close(descriptor);
        *bytes = ReadWholeFile(file.path());
        return result;
    }

    // Decodes saved bytes with plain libpng into the host's layout.
    HostPixels Decode(const std::vector<uint8_t> &bytes) {
        TempFile file(bytes);
        return DecodeAsHostExpects(file.path());
    }

    // Opens saved bytes through the module again, as the host would.
    HostImage Reopen(const std::vector<uint8_t> &bytes) {
        TempFile file(bytes);
        const HostFixed gamma = session.monitor.gamma;
        session.monitor.gamma = 0;  // the samples as they are in the file
        EXPECT_EQ(OpenWithModule(&session, file.descriptor()), kResultNoError);
        session.monitor.gamma = gamma;
        return session.image;
    }

    // pngcheck, an independent reader, finds nothing wrong with the file.
    static bool PassesPngcheck(const std::vector<uint8_t> &bytes) {
        TempFile file(bytes);
        return std::system(("pngcheck -q " + file.path() + " >/dev/null").c_str()) == 0;
    }
};

TEST_F(SaveTest, EveryModeRoundTripsWithEveryOption) {
    for (const ImageKind &kind : kKinds) {
        for (bool interlace : {false, true}) {
            for (int filter : {0, 1, 2, 3, 4, 5}) {
                SCOPED_TRACE(std::string(kind.name) + (interlace ? " interlaced" : "") + " filter " +
                             std::to_string(filter));
                const HostImage image = PatternImage(kind, 19, 11);
                SaveChoices choices;
                choices.interlace = interlace;
                choices.filterEntry = filter;
                choices.bestSpeed = filter % 2 == 1;
                std::vector<uint8_t> bytes;
                ASSERT_EQ(Save(image, choices, &bytes), kResultNoError);
                const std::vector<PngChunk> chunks = ListChunks(bytes);
                ASSERT_FALSE(chunks.empty());
                const PngChunk &header = chunks.front();
                EXPECT_EQ(header.type, "IHDR");
                EXPECT_EQ(header.data[8], kind.bitDepth);
                EXPECT_EQ(header.data[9], kind.colorType);
                // A bitmap is never interlaced through the dialog: its box is disabled.
                EXPECT_EQ(header.data[12], interlace && kind.mode != kModeBitmap ? 1 : 0);
                const HostPixels decoded = Decode(bytes);
                ASSERT_TRUE(decoded.ok);
                HostImage expected = image;
                expected.pixels = PixelsWithoutSpareBits(image);
                EXPECT_TRUE(decoded.pixels == expected.pixels);
                EXPECT_EQ(chunks.back().type, "IEND");
                EXPECT_TRUE(PassesPngcheck(bytes));
                HostImage reopened = Reopen(bytes);
                reopened.pixels = PixelsWithoutSpareBits(reopened);
                EXPECT_EQ(reopened.mode, kind.mode);
                EXPECT_EQ(reopened.planes, kind.planes);
                EXPECT_TRUE(reopened.pixels == expected.pixels) << "open(save(x)) gives x back";
                if (kind.mode == kModeIndexed) {
                    EXPECT_TRUE(std::equal(image.red, image.red + 256, reopened.red) &&
                                std::equal(image.blue, image.blue + 256, reopened.blue));
                }
            }
        }
    }
}

TEST_F(SaveTest, HeaderChunksComeInOrderWithTheHostsSettings) {
    session.monitor.gamma = 2 * 65536;
    HostImage image = PatternImage(kKinds[5], 8, 8);
    image.horizontalResolution = image.verticalResolution = 72 << 16;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Save(image, SaveChoices{}, &bytes), kResultNoError);
    const std::vector<PngChunk> chunks = ListChunks(bytes);
    EXPECT_EQ(ChunkTypes(chunks), (std::vector<std::string>{"IHDR", "gAMA", "cHRM", "pHYs", "IDAT", "IEND"}));
    EXPECT_EQ(Big32(FindChunk(chunks, "gAMA")->data, 0), 49999u);
    const PngChunk *phys = FindChunk(chunks, "pHYs");
    EXPECT_EQ(Big32(phys->data, 0), 2835u);
    EXPECT_EQ(Big32(phys->data, 4), 2835u);
    EXPECT_EQ(phys->data[8], 1);
}

TEST_F(SaveTest, AMonitorGammaNoFileCanCarryIsLeftOut) {
    for (HostFixed monitorGamma : {HostFixed{1}, HostFixed{-2 * 65536}, HostFixed{INT32_MAX}}) {
        session.monitor.gamma = monitorGamma;
        std::vector<uint8_t> bytes;
        ASSERT_EQ(Save(PatternImage(kKinds[4], 4, 4), SaveChoices{}, &bytes), kResultNoError) << monitorGamma;
        EXPECT_EQ(ChunkTypes(ListChunks(bytes)), (std::vector<std::string>{"IHDR", "pHYs", "IDAT", "IEND"}))
            << monitorGamma;
    }
}

// Monitor chromaticities in 16.16 fixed point, as the host keeps them.
HostMonitor MonitorWithChromaticities(double whiteX, double whiteY, double redX, double redY, double greenX,
                                      double greenY, double blueX, double blueY) {
    auto fixed = [](double value) { return static_cast<HostFixed>(value * 65536); };
    HostMonitor monitor{};
    monitor.gamma = 2 * 65536;
    monitor.whiteX = fixed(whiteX), monitor.whiteY = fixed(whiteY);
    monitor.redX = fixed(redX), monitor.redY = fixed(redY);
    monitor.greenX = fixed(greenX), monitor.greenY = fixed(greenY);
    monitor.blueX = fixed(blueX), monitor.blueY = fixed(blueY);
    return monitor;
}

// Chromaticities libpng will not write leave cHRM out and nothing else: the
// save succeeds, gAMA is written, the pixels are whole.
TEST_F(SaveTest, MonitorChromaticitiesNoFileCanCarryAreLeftOut) {
    HostMonitor farOut = MonitorWithChromaticities(0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
    farOut.redX = INT32_MAX;
    farOut.blueY = INT32_MIN;
    const struct {
        const char *name;
        HostMonitor monitor;
        bool written;
    } cases[] = {
        {"sRGB", MonitorWithChromaticities(0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06), true},
        {"all zero", MonitorWithChromaticities(0, 0, 0, 0, 0, 0, 0, 0), false},
        {"white y 0", MonitorWithChromaticities(0.3127, 0, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06), false},
        {"green x + y above 1", MonitorWithChromaticities(0.3127, 0.329, 0.64, 0.33, 0.5, 0.6, 0.15, 0.06), false},
        {"negative blue x", MonitorWithChromaticities(0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, -0.15, 0.06), false},
        {"far out of range", farOut, false},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        session.monitor = test.monitor;
        const HostImage image = PatternImage(kKinds[4], 9, 7);
        std::vector<uint8_t> bytes;
        ASSERT_EQ(Save(image, SaveChoices{}, &bytes), kResultNoError);
        const std::vector<PngChunk> chunks = ListChunks(bytes);
        const std::vector<std::string> expected =
            test.written ? std::vector<std::string>{"IHDR", "gAMA", "cHRM", "pHYs", "IDAT", "IEND"}
                         : std::vector<std::string>{"IHDR", "gAMA", "pHYs", "IDAT", "IEND"};
        EXPECT_EQ(ChunkTypes(chunks), expected);
        EXPECT_EQ(Big32(FindChunk(chunks, "gAMA")->data, 0), 49999u);
        EXPECT_TRUE(PassesPngcheck(bytes));
        const HostPixels decoded = Decode(bytes);
        ASSERT_TRUE(decoded.ok);
        EXPECT_TRUE(decoded.pixels == image.pixels);

        // A bitmap never gets a colour description, whatever the monitor.
        ASSERT_EQ(Save(PatternImage(kKinds[0], 9, 7), SaveChoices{}, &bytes), kResultNoError);
        EXPECT_EQ(ChunkTypes(ListChunks(bytes)), (std::vector<std::string>{"IHDR", "pHYs", "IDAT", "IEND"}));
    }
}

TEST_F(SaveTest, IndexedAndBitmapImagesGetTheirOwnChunks) {
    session.monitor.gamma = 2 * 65536;
    std::vector<uint8_t> bytes;
    HostImage indexed = PatternImage(kKinds[3], 8, 8);
    indexed.planes = 3;  // whatever the host says, an indexed image has one plane
    AllocateHostImage(&indexed);
    ASSERT_EQ(Save(indexed, SaveChoices{}, &bytes), kResultNoError);
    EXPECT_EQ(session.block.planes, 1);
    const std::vector<PngChunk> chunks = ListChunks(bytes);
    EXPECT_EQ(ChunkTypes(chunks), (std::vector<std::string>{"IHDR", "gAMA", "cHRM", "PLTE", "pHYs", "IDAT", "IEND"}));
    const PngChunk *palette = FindChunk(chunks, "PLTE");
    ASSERT_EQ(palette->data.size(), 768u);
    EXPECT_EQ(palette->data[3 * 200 + 1], 55);

    HostImage bitmap = PatternImage(kKinds[0], 8, 8);
    bitmap.horizontalResolution = 0;
    ASSERT_EQ(Save(bitmap, SaveChoices{}, &bytes), kResultNoError);
    EXPECT_EQ(ChunkTypes(ListChunks(bytes)), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}))
        << "no gamma for a bitmap, no pHYs without a resolution";
}

TEST_F(SaveTest, ModesThisModuleDoesNotSaveAreRefusedBeforeAnyRow) {
    const int16_t modes[] = {kModeCMYK, kModeLab, kModeGray16, kModeRGB48, 12};
    for (int16_t mode : modes) {
        HostImage image = PatternImage(kKinds[4], 4, 4);
        image.mode = mode;
        std::vector<uint8_t> bytes;
        EXPECT_EQ(Save(image, SaveChoices{}, &bytes), kResultWriteError) << mode;
        EXPECT_TRUE(session.advancedRects.empty());
        EXPECT_TRUE(session.buffers.empty());
    }
}

TEST_F(SaveTest, ExtraPlanesAreNotAskedFor) {
    HostImage image = PatternImage(kKinds[2], 6, 3);
    image.planes = 5;
    AllocateHostImage(&image);
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Save(image, SaveChoices{}, &bytes), kResultNoError);
    EXPECT_EQ(ListChunks(bytes).front().data[9], PNG_COLOR_TYPE_GRAY_ALPHA);
    EXPECT_EQ(session.block.lastPlane, 1);
    EXPECT_EQ(session.block.columnStep, 2);
}

TEST_F(SaveTest, InterlacedSaveRequestsEveryPassRow) {
    std::vector<uint8_t> bytes;
    SaveChoices choices;
    choices.interlace = true;
    ASSERT_EQ(Save(PatternImage(kKinds[1], 16, 16), choices, &bytes), kResultNoError);
    ASSERT_EQ(session.advancedRects.size(), 30u);
    std::vector<int> tops;
    for (const HostRect &rect : session.advancedRects) tops.push_back(rect.top);
    const std::vector<int> expected = {0, 8, 0, 8, 4, 12, 0, 4, 8, 12, 2, 6, 10, 14, 0, 2, 4, 6, 8, 10, 12, 14,
                                       1, 3, 5, 7, 9, 11, 13, 15};
    EXPECT_EQ(tops, expected);
    ASSERT_EQ(session.progress.size(), 30u);
    for (size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(session.progress[i].done, static_cast<int32_t>(i + 1));
        EXPECT_EQ(session.progress[i].total, 30);
    }

    ASSERT_EQ(Save(PatternImage(kKinds[1], 3, 16), choices, &bytes), kResultNoError);
    EXPECT_EQ(session.advancedRects.size(), 28u) << "pass 2 holds no pixel of a 3-column image";
}

TEST_F(SaveTest, StraightSaveReportsEveryRow) {
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Save(PatternImage(kKinds[4], 5, 4), SaveChoices{}, &bytes), kResultNoError);
    ASSERT_EQ(session.progress.size(), 4u);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(session.progress[i].done, i);
        EXPECT_EQ(session.progress[i].total, 4);
    }
    EXPECT_EQ(session.block.pixelData, nullptr);
}

TEST_F(SaveTest, HostFailureOnARowGivesAWriteErrorAndAClosedFile) {
    session.faults.advanceStateErrorCall = 5;
    session.faults.advanceStateError = -4242;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Save(PatternImage(kKinds[4], 40, 20), SaveChoices{}, &bytes), kResultWriteError);
    EXPECT_EQ(session.advancedRects.size(), 6u);
    EXPECT_EQ(session.progress.size(), 6u) << "progress is reported for the failing row too";
    const std::vector<PngChunk> chunks = ListChunks(bytes);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_TRUE(session.buffers.empty());
}

TEST_F(SaveTest, CompressionChoiceShowsInTheZlibHeader) {
    for (bool fast : {false, true}) {
        SaveChoices choices;
        choices.bestSpeed = fast;
        std::vector<uint8_t> bytes;
        // Big enough that libpng keeps the whole 32K window (it narrows it
        // for images that fit a smaller one).
        ASSERT_EQ(Save(PatternImage(kKinds[4], 128, 64), choices, &bytes), kResultNoError);
        const std::vector<PngChunk> chunks = ListChunks(bytes);
        const PngChunk *data = FindChunk(chunks, "IDAT");
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->data[0], 0x78) << "deflate with a 32K window";
        EXPECT_EQ(data->data[1] >> 6, fast ? 0 : 3) << "zlib's compression level field";
    }
}

TEST_F(SaveTest, CancelledDialogWritesNothing) {
    SaveChoices choices;
    choices.cancel = true;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Save(PatternImage(kKinds[4], 4, 4), choices, &bytes), kResultUserCancelled);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(SaveTest, WriteFinishLeavesTheOptionsReset) {
    SaveChoices choices;
    choices.interlace = true;
    choices.writeFileInfo = true;
    choices.bestSpeed = true;
    choices.filterEntry = 2;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Save(PatternImage(kKinds[4], 4, 4), choices, &bytes), kResultNoError);
    const PluginState &state = State();
    EXPECT_EQ(state.interlace, 0u);
    EXPECT_EQ(state.writeFileInfo, 0u);
    EXPECT_EQ(state.filterChoice, 6u);
    EXPECT_EQ(state.compressionLevel, 9u);
    EXPECT_EQ(state.codecContext, nullptr);
}

TEST_F(SaveTest, FullDiskAndClosedPipesGiveAWriteError) {
    CreatedState();
    const size_t baseline = Win32LiveGlobalBlocks();
    const int full = open("/dev/full", O_RDWR);
    ASSERT_GE(full, 0);
    session.image = PatternImage(kKinds[4], 64, 64);
    EXPECT_EQ(SaveWithModule(&session, full, SaveChoices{}), kResultWriteError);
    close(full);
    EXPECT_EQ(Win32LiveGlobalBlocks(), baseline);

    // Nobody reads the pipe any more: every write fails.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    std::signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(SaveWithModule(&session, ends[1], SaveChoices{}), kResultWriteError);
    close(ends[1]);
    EXPECT_EQ(Win32LiveGlobalBlocks(), baseline);
}

// A file that may not grow past a given size, as a full disk or a quota
// would stop it: every cut, the last byte of IEND included, fails the save.
TEST_F(SaveTest, ShortWriteAtEveryOffsetGivesAWriteError) {
    const HostImage image = PatternImage(kKinds[4], 8, 8);
    std::vector<uint8_t> whole;
    ASSERT_EQ(Save(image, SaveChoices{}, &whole), kResultNoError);
    std::signal(SIGXFSZ, SIG_IGN);
    for (size_t limit = 0; limit < whole.size(); ++limit) {
        TempFile file(std::string{});
        const pid_t child = fork();
        if (child == 0) {
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
            const int descriptor = open(file.path().c_str(), O_RDWR | O_TRUNC);
            session.image = image;
            _exit(SaveWithModule(&session, descriptor, SaveChoices{}) == kResultWriteError ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "file cut at " << limit << " bytes";
    }
}

TEST_F(SaveTest, EveryAllocationFailureEndsCleanly) {
    SaveChoices choices;
    choices.interlace = true;
    const HostImage image = PatternImage(kKinds[4], 9, 9);
    for (unsigned long failing = 1; failing < 300; ++failing) {
        CreatedState();
        const size_t before = Win32LiveGlobalBlocks();
        std::vector<uint8_t> bytes;
        Win32FailGlobalAllocation(failing);
        const int16_t result = Save(image, choices, &bytes);
        Win32FailGlobalAllocation(0);
        EXPECT_EQ(Win32LiveGlobalBlocks(), before) << "allocation " << failing;
        if (result == kResultNoError) break;
        EXPECT_EQ(result, kResultWriteError) << "allocation " << failing;
    }
}
