// Saves that go wrong at every point: the file refusing more bytes at every
// offset, a full device, a reader that goes away, an allocation failing at
// every index, the host refusing the row buffer or failing any row. Each
// must end in a write error (or the host's own code) with nothing of the
// module's left alive after write-finish.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <thread>

#include "PngFiles.h"
#include "SweepFixture.h"
#include "TempFile.h"
#include "pnghost/host/Operations.h"

namespace {

std::vector<uint8_t> FileInfoResources() {
    const std::string captions = std::string("\x1C\x02\x00\x00\x02\x00\x02", 7) + "\x1C\x02\x78\x00\x06" + "a boat" +
                                 "\x1C\x02\x6E\x00\x03" + "Ann" + "\x1C\x02\x37\x00\x08" + "19960305";
    std::string block("8BIM\x04\x04\0\0", 8);
    for (int shift = 24; shift >= 0; shift -= 8) block += static_cast<char>(captions.size() >> shift);
    block += captions;
    return std::vector<uint8_t>(block.begin(), block.end());
}

HostImage RgbImage(int16_t columns, int16_t rows) {
    HostImage image;
    image.mode = kModeRGB;
    image.planes = 3;
    image.columns = columns;
    image.rows = rows;
    AllocateHostImage(&image);
    // Noise, so that the compressed data is about as long as the image.
    uint32_t seed = 12345;
    for (uint8_t &sample : image.pixels) {
        seed = seed * 1103515245u + 12345u;
        sample = static_cast<uint8_t>(seed >> 16);
    }
    image.resources = FileInfoResources();
    return image;
}

SaveChoices Interlaced(bool interlace) {
    SaveChoices choices;
    choices.interlace = interlace;
    choices.writeFileInfo = true;
    return choices;
}

// The bytes a cap of `limit` lets through, saved in a child so that the cap
// and the signal it would raise stay there. The child's exit status: 0 for
// the expected result with nothing left behind, 1 for another result, 2
// for something left behind.
int SaveUnderCap(HostSession *session, const std::string &path, rlim_t limit, int16_t expected,
                 const std::function<std::string()> &leftBehind) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        const int file = open(path.c_str(), O_RDWR | O_TRUNC);
        const int16_t result = SaveWithModule(session, file, Interlaced(true));
        close(file);
        _exit(result != expected ? 1 : leftBehind().empty() ? 0 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

class SaveSweep : public SweepTest {
protected:
    int16_t SaveTo(int file, const HostImage &image, const SaveChoices &choices) {
        session.image = image;
        session.advancedRects.clear();
        session.progress.clear();
        return SaveWithModule(&session, file, choices);
    }
};

TEST_F(SaveSweep, ShortWriteAtEveryOffsetGivesAWriteError) {
    const HostImage image = RgbImage(8, 8);
    const int whole = MemoryFile({});
    ASSERT_EQ(SaveTo(whole, image, Interlaced(true)), kResultNoError);
    const off_t size = lseek(whole, 0, SEEK_END);
    close(whole);
    session.image = image;
    std::signal(SIGXFSZ, SIG_IGN);
    TempFile file(std::string{});
    // The cap at the file's own size lets the save through: the cap is what
    // fails the others.
    for (off_t limit = 0; limit <= size && !HasFailure(); ++limit) {
        const int16_t expected = limit < size ? kResultWriteError : kResultNoError;
        EXPECT_EQ(SaveUnderCap(&session, file.path(), static_cast<rlim_t>(limit), expected,
                               [this] { return LeftBehind(); }),
                  0)
            << "file capped at " << limit << " bytes";
    }
}

TEST_F(SaveSweep, FullDeviceAndAReaderThatLeavesGiveAWriteError) {
    const HostImage image = RgbImage(64, 64);
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    EXPECT_EQ(SaveTo(full, image, Interlaced(false)), kResultWriteError);
    EXPECT_EQ(LeftBehind(), "");
    close(full);

    // A pipe of one page whose reader takes `taken` bytes and goes: the
    // save, longer than both, meets a closed pipe part-way.
    std::signal(SIGPIPE, SIG_IGN);
    for (size_t taken : {size_t{0}, size_t{1}, size_t{3000}, size_t{6000}}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_GE(fcntl(ends[1], F_SETPIPE_SZ, 4096), 4096);
        std::thread reader([&ends, taken] {
            uint8_t piece[512];
            for (size_t got = 0; got < taken;) {
                const ssize_t n = read(ends[0], piece, std::min(sizeof piece, taken - got));
                if (n <= 0) break;
                got += static_cast<size_t>(n);
            }
            close(ends[0]);
        });
        EXPECT_EQ(SaveTo(ends[1], image, Interlaced(false)), kResultWriteError) << "reader took " << taken;
        reader.join();
        close(ends[1]);
        EXPECT_EQ(LeftBehind(), "") << "reader took " << taken;
    }
}

TEST_F(SaveSweep, FailingAllocationAtEveryIndexGivesAWriteError) {
    const HostImage image = RgbImage(9, 9);
    const int file = MemoryFile({});
    const unsigned long before = Win32GlobalAllocationCount();
    ASSERT_EQ(SaveTo(file, image, Interlaced(true)), kResultNoError);
    const unsigned long allocations = Win32GlobalAllocationCount() - before;
    ASSERT_GT(allocations, 5u);
    for (unsigned long failing = 1; failing <= allocations && !HasFailure(); ++failing) {
        ASSERT_EQ(ftruncate(file, 0), 0);
        Win32FailGlobalAllocation(failing);
        const int16_t result = SaveTo(file, image, Interlaced(true));
        Win32FailGlobalAllocation(0);
        EXPECT_EQ(result, kResultWriteError) << "allocation " << failing;
        EXPECT_EQ(LeftBehind(), "") << "allocation " << failing;
    }
    close(file);
}

TEST_F(SaveSweep, RefusedRowBufferEndsWithTheHostsCode) {
    const int file = MemoryFile({});
    session.faults.refuseBuffers = -77;
    EXPECT_EQ(SaveTo(file, RgbImage(6, 4), Interlaced(true)), -77);
    EXPECT_TRUE(session.advancedRects.empty()) << "no row asked for";
    EXPECT_EQ(LeftBehind(), "");
    close(file);
}

// Straight and interlaced, the host fails each row in turn: the save stops
// at that row, and the file is still a closed PNG stream.
TEST_F(SaveSweep, HostFailingAnyRowGivesAWriteErrorAndAClosedFile) {
    const HostImage image = RgbImage(7, 9);
    for (bool interlace : {false, true}) {
        const int file = MemoryFile({});
        ASSERT_EQ(SaveTo(file, image, Interlaced(interlace)), kResultNoError);
        const int32_t rows = static_cast<int32_t>(session.advancedRects.size());
        for (int32_t failing = 0; failing < rows && !HasFailure(); ++failing) {
            SCOPED_TRACE(std::string(interlace ? "interlaced" : "straight") + " row call " + std::to_string(failing));
            ASSERT_EQ(ftruncate(file, 0), 0);
            session.faults.advanceStateErrorCall = failing;
            session.faults.advanceStateError = -4242;
            EXPECT_EQ(SaveTo(file, image, Interlaced(interlace)), kResultWriteError);
            session.faults.advanceStateErrorCall = -1;
            EXPECT_EQ(session.advancedRects.size(), static_cast<size_t>(failing + 1));
            EXPECT_EQ(LeftBehind(), "");
            lseek(file, 0, SEEK_SET);
            const std::vector<PngChunk> chunks = ListChunks(ReadWholeFile("/proc/self/fd/" + std::to_string(file)));
            ASSERT_FALSE(chunks.empty());
            EXPECT_EQ(chunks.back().type, "IEND");
        }
        close(file);
    }
}
