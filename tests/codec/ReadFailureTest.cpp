// Reads that must fail cleanly: files cut short, a pipe that runs dry,
// damaged image data, and memory running out at every allocation.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "tests/codec/ReadTestSupport.h"

namespace {

// A palette image with texts enough to grow the text list, a compressed
// text, and two IDAT chunks.
Bytes RichFile() {
    PngStream stream = PngStream().Header(3, 2, 8, 3).Chunk("gAMA", BigEndian(45455)).Chunk("PLTE", Bytes(9, 4));
    for (int i = 0; i < 17; ++i) stream.Chunk("tEXt", Bytes{'K', 0, uint8_t('a' + i)});
    Bytes compressed{'Z', 0, 0};
    const Bytes inflated = Deflated(Text("compressed"));
    compressed.insert(compressed.end(), inflated.begin(), inflated.end());
    stream.Chunk("zTXt", compressed);
    const Bytes image = Deflated({0, 0, 1, 2, 0, 2, 1, 0});
    stream.Chunk("IDAT", Bytes(image.begin(), image.begin() + 5)).Chunk("IDAT", Bytes(image.begin() + 5, image.end()));
    return stream.Chunk("tEXt", Bytes{'L', 0, 'x'}).End().bytes;
}

TEST(ReadFailure, AFileCutShortAnywhereFailsSomeStep) {
    const Bytes whole = RichFile();
    for (size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE(length);
        TempFile file(Bytes(whole.begin(), whole.begin() + length));
        ReadSession session(file.descriptor());
        EXPECT_EQ(session.ReadAll(), length == whole.size());
    }
}

TEST(ReadFailure, APipeIsReadToTheEndAndAPipeThatRunsDryFails) {
    signal(SIGPIPE, SIG_IGN);
    const Bytes whole = RichFile();
    for (size_t length : {whole.size(), whole.size() - 20}) {
        SCOPED_TRACE(length);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        // The writer trickles the bytes, so that reads come back short.
        std::thread writer([&] {
            for (size_t at = 0; at < length; at += 7) {
                if (write(ends[1], whole.data() + at, std::min<size_t>(7, length - at)) < 0) break;
                usleep(100);
            }
            close(ends[1]);
        });
        {
            ReadSession session(ends[0]);
            EXPECT_EQ(session.ReadAll(), length == whole.size());
        }
        writer.join();
        close(ends[0]);
    }
}

TEST(ReadFailure, DamagedImageDataFailsARow) {
    const Bytes rows = {0, 1, 2, 3, 0, 4, 5, 6};
    Bytes badStream = Deflated(rows);
    badStream[5] ^= 0xFF;
    const struct {
        const char *name;
        PngStream file;
    } cases[] = {
        {"IDAT CRC mismatch", PngStream().Header(3, 2, 8, 0).Chunk("IDAT", Deflated(rows), false).End()},
        {"damaged deflate stream", PngStream().Header(3, 2, 8, 0).Chunk("IDAT", badStream).End()},
        {"data for one row of two", PngStream().Header(3, 2, 8, 0).Image({0, 1, 2, 3}).End()},
        {"IDAT cut short before IEND",
         PngStream().Header(3, 2, 8, 0).Chunk("IDAT", Bytes(badStream.begin(), badStream.begin() + 6)).End()},
        {"bad filter type", PngStream().Header(3, 2, 8, 0).Image({9, 1, 2, 3, 0, 4, 5, 6}).End()},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        TempFile file(test.file.bytes);
        ReadSession session(file.descriptor());
        ASSERT_TRUE(session.Open());
        EXPECT_FALSE(session.ReadRows());
    }
}

// Each run fails the n-th allocation from the open on, until a run needs
// fewer allocations than n. Every failure must fail the read, and the
// session checks that release leaves nothing behind.
TEST(ReadFailure, MemoryRunningOutAtAnyAllocationFailsTheReadCleanly) {
    TempFile file(RichFile());
    for (unsigned long n = 1;; ++n) {
        SCOPED_TRACE(n);
        ASSERT_EQ(lseek(file.descriptor(), 0, SEEK_SET), 0);
        ReadSession session(file.descriptor());
        const unsigned long before = Win32GlobalAllocationCount();
        Win32FailGlobalAllocation(n);
        const bool read = session.ReadAll();
        Win32FailGlobalAllocation(0);
        const bool failureHit = Win32GlobalAllocationCount() - before >= n;
        EXPECT_EQ(read, !failureHit);
        if (!failureHit) {
            EXPECT_EQ(session.Texts().count, 19);
            break;
        }
    }
}

}  // namespace
