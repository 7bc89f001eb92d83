// Opens that go wrong at every point: files cut at every length, the file's
// descriptor failing at every offset, an allocation failing at every index.
// Each must end in a clean result with nothing of the module's left alive.
#include <fcntl.h>
#include <png.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "PngFiles.h"
#include "SweepFixture.h"
#include "TempFile.h"
#include "pnghost/host/HostFileHandle.h"
#include "pnghost/host/Operations.h"

namespace {

// One of every colour type, interlaced and not, at several depths.
const char *const kCutFiles[] = {"basn0g01.png", "basi0g04.png", "basn2c08.png", "basi2c16.png",
                                 "basn3p04.png", "basi4a08.png", "basn6a16.png"};

std::vector<uint8_t> SuiteFile(const std::string &name) { return ReadWholeFile(std::string(PNGSUITE_DIR) + "/" + name); }

uint32_t Big32(const uint8_t *at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// The offset just past the CRC of the file's last image data chunk: a file
// cut there or later still holds every row.
size_t ImageDataEnd(const std::vector<uint8_t> &file) {
    size_t end = 0;
    for (size_t at = 8; at + 12 <= file.size();) {
        const size_t next = at + 12 + Big32(&file[at]);
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0) end = next;
        at = next;
    }
    return end;
}

}  // namespace

class OpenSweep : public SweepTest {
protected:
    int16_t OpenDescriptor(int file, HostFixed monitorGamma = 0) {
        session.monitor.gamma = monitorGamma;
        session.advancedRects.clear();
        session.progress.clear();
        return OpenWithModule(&session, file);
    }

    // The steps after filter-file, as OpenWithModule runs them, for a
    // descriptor swapped in after the probe.
    int16_t ReadAfterProbe() {
        int16_t result = Call(kSelectorReadPrepare);
        if (result == kResultNoError) result = Call(kSelectorReadStart);
        if (result != kResultNoError) return result;
        HostImage &image = session.image;
        image.mode = session.block.imageMode;
        image.depth = session.block.depth;
        image.planes = session.block.planes;
        image.rows = session.block.imageRows;
        image.columns = session.block.imageColumns;
        AllocateHostImage(&image);
        session.flow = PixelFlow::ToImage;
        result = Call(kSelectorReadContinue);
        session.flow = PixelFlow::None;
        const int16_t finish = Call(kSelectorReadFinish);
        return result != kResultNoError ? result : finish;
    }

    // A file that stops short of its image data cannot be read; one that
    // holds every row may still be read, and then exactly.
    void ExpectCleanEnd(int16_t result, bool holdsEveryRow, const std::vector<uint8_t> &pixels, size_t offset) {
        EXPECT_EQ(LeftBehind(), "") << "at " << offset;
        if (holdsEveryRow) {
            EXPECT_EQ(result, kResultNoError) << "at " << offset;
        }
        EXPECT_TRUE(result == kResultCannotRead || result == kResultNoError) << result << " at " << offset;
        if (result == kResultNoError) {
            EXPECT_TRUE(session.image.pixels == pixels) << "rows differ at " << offset;
        }
    }
};

TEST_F(OpenSweep, EveryCutOfAFileEndsCleanly) {
    for (const char *name : kCutFiles) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> whole = SuiteFile(name);
        ASSERT_FALSE(whole.empty());
        const size_t dataEnd = ImageDataEnd(whole);
        const int file = MemoryFile(whole);
        ASSERT_GE(file, 0);
        ASSERT_EQ(OpenDescriptor(file), kResultNoError);
        const std::vector<uint8_t> pixels = session.image.pixels;
        for (size_t cut = whole.size(); cut-- > 0 && !HasFailure();) {
            ASSERT_EQ(ftruncate(file, static_cast<off_t>(cut)), 0);
            ExpectCleanEnd(OpenDescriptor(file), cut >= dataEnd, pixels, cut);
        }
        close(file);
    }
}

// The peer of a socket that goes away with data it never read resets the
// connection: reads get the bytes sent before, then ECONNRESET, a real read
// error at any offset chosen.
TEST_F(OpenSweep, ReadErrorAtEveryOffsetEndsCleanly) {
    for (const char *name : {"basn2c08.png", "basi4a08.png"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> whole = SuiteFile(name);
        ASSERT_FALSE(whole.empty());
        const size_t dataEnd = ImageDataEnd(whole);
        const int probed = MemoryFile(whole);
        ASSERT_EQ(OpenDescriptor(probed), kResultNoError);
        close(probed);
        const std::vector<uint8_t> pixels = session.image.pixels;
        for (size_t offset = 0; offset <= whole.size() && !HasFailure(); ++offset) {
            int ends[2];
            ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
            ASSERT_EQ(write(ends[0], whole.data(), offset), static_cast<ssize_t>(offset));
            ASSERT_EQ(write(ends[1], "x", 1), 1);
            close(ends[0]);
            // The probe reads a sound file; the reads after it meet the socket.
            const int file = MemoryFile(whole);
            ResetHostBlock(&session);
            session.block.fileHandle = HostFileHandle(file);
            ASSERT_EQ(Call(kSelectorFilterFile), kResultNoError);
            ASSERT_EQ(dup2(ends[1], file), file);
            close(ends[1]);
            session.advancedRects.clear();
            const int16_t result = ReadAfterProbe();
            close(file);
            ExpectCleanEnd(result, offset >= dataEnd, pixels, offset);
        }
    }
}

TEST_F(OpenSweep, WriteOnlyDescriptorCannotBeRead) {
    TempFile file(SuiteFile("basn2c08.png"));
    const int writeOnly = open(file.path().c_str(), O_WRONLY);
    ASSERT_GE(writeOnly, 0);
    EXPECT_EQ(OpenDescriptor(writeOnly), kResultProbeReadError) << "the probe cannot read it";
    EXPECT_EQ(LeftBehind(), "");

    // Swapped in after a probe that could read: read-start cannot.
    const int readable = open(file.path().c_str(), O_RDONLY);
    ResetHostBlock(&session);
    session.block.fileHandle = HostFileHandle(readable);
    ASSERT_EQ(Call(kSelectorFilterFile), kResultNoError);
    ASSERT_EQ(dup2(writeOnly, readable), readable);
    EXPECT_EQ(ReadAfterProbe(), kResultCannotRead);
    EXPECT_EQ(LeftBehind(), "");
    close(readable);
    close(writeOnly);
}

// An interlaced file with texts, a time and a gamma, opened with a monitor
// gamma: every allocation an open makes, from the codec's records to the
// File Info block, fails once.
TEST_F(OpenSweep, FailingAllocationAtEveryIndexEndsCleanly) {
    PngPicture picture = PatternPicture(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, true);
    picture.texts = {{"Caption", "a boat"}, {"Author", "Ann"}, {"Software", "paint"}};
    picture.hasTime = true;
    picture.year = 1996;
    picture.month = 3;
    picture.day = 5;
    picture.gamma = 0.45;
    const int file = MemoryFile(EncodePng(picture));
    ASSERT_GE(file, 0);
    const HostFixed monitorGamma = 144179;
    const unsigned long before = Win32GlobalAllocationCount();
    ASSERT_EQ(OpenDescriptor(file, monitorGamma), kResultNoError);
    const unsigned long allocations = Win32GlobalAllocationCount() - before;
    const std::vector<uint8_t> pixels = session.image.pixels;
    ASSERT_FALSE(session.image.resources.empty());
    ASSERT_GT(allocations, 10u);
    for (unsigned long failing = 1; failing <= allocations && !HasFailure(); ++failing) {
        Win32FailGlobalAllocation(failing);
        const int16_t result = OpenDescriptor(file, monitorGamma);
        Win32FailGlobalAllocation(0);
        // Only the File Info may be lost without failing the open.
        ExpectCleanEnd(result, false, pixels, failing);
    }
    close(file);
}
