// Faults of the custom mutator that the fuzz targets would not show, as the
// files it makes would still open: a mutation that its seed does not decide,
// chunks written with a wrong length or CRC, and image data recoded to
// other pixels than it held.
#include <gtest/gtest.h>
#include <zlib.h>

#include "fuzz/ImageDataCoding.h"
#include "fuzz/PngChunkList.h"
#include "fuzz/PngMutations.h"
#include "fuzz/RegressionInputs.h"
#include "tests/module/PngFiles.h"

namespace {

const size_t kLargestInput = 65536;

bool gBytesMutated = false;

// Stands in for libFuzzer's byte-level mutation, only noting that it ran.
size_t NoteByteMutation(uint8_t *, size_t size, size_t) {
    gBytesMutated = true;
    return size;
}

struct Picture {
    int colorType, depth;
    bool interlaced;
};
const Picture kPictures[] = {{0, 1, true}, {0, 16, false}, {2, 8, true}, {3, 4, true}, {4, 8, false}, {6, 16, true}};

std::vector<uint8_t> PictureFile(const Picture &picture) {
    return EncodePng(PatternPicture(13, 9, picture.colorType, picture.depth, picture.interlaced));
}

// The signature, then whole chunks to the file's last byte, each with the
// CRC of its type and data.
::testing::AssertionResult ChunksWhole(const uint8_t *file, size_t size) {
    size_t at = 8;
    while (at + 12 <= size) {
        const uint32_t length = Big32(file + at);
        if (length > size - at - 12) return ::testing::AssertionFailure() << "chunk at " << at << " runs past the end";
        const auto crc = static_cast<uint32_t>(crc32(0, file + at + 4, length + 4));
        if (crc != Big32(file + at + 8 + length)) return ::testing::AssertionFailure() << "CRC of chunk at " << at;
        at += 12 + length;
    }
    if (at != size) return ::testing::AssertionFailure() << (size - at) << " bytes after the last chunk";
    return ::testing::AssertionSuccess();
}

size_t Mutate(const std::vector<uint8_t> &file, unsigned seed, std::vector<uint8_t> *input) {
    input->assign(kLargestInput, 0);
    (*input)[0] = 1;
    std::copy(file.begin(), file.end(), input->begin() + kControlBytes);
    gBytesMutated = false;
    return MutatePngInput(input->data(), file.size() + kControlBytes, kLargestInput, seed, NoteByteMutation);
}

}  // namespace

TEST(PngMutator, SeedDecidesTheMutationAndChunksStayWhole) {
    for (const Picture &picture : kPictures) {
        const std::vector<uint8_t> file = PictureFile(picture);
        for (unsigned seed = 0; seed < 100; ++seed) {
            std::vector<uint8_t> first, second;
            const size_t size = Mutate(file, seed, &first);
            const bool structural = !gBytesMutated;
            ASSERT_EQ(Mutate(file, seed, &second), size) << "seed " << seed;
            first.resize(size);
            second.resize(size);
            ASSERT_EQ(first, second) << "seed " << seed;
            if (structural) {
                ASSERT_TRUE(ChunksWhole(first.data() + kControlBytes, size - kControlBytes)) << "seed " << seed;
            }
        }
    }
}

// The inputs on which the open targets' mutator once failed, mutated under
// many seeds: the sanitizers see each step it takes on them.
TEST(PngMutator, MutatesItsRegressionInputs) {
    for (const char *target : {"open", "open-diff"})
        for (const Seed &input : RegressionInputs(target)) {
            std::vector<uint8_t> file(input.bytes.begin() + std::min(input.bytes.size(), kControlBytes),
                                      input.bytes.end());
            for (unsigned seed = 0; seed < 60; ++seed) {
                std::vector<uint8_t> mutated;
                ASSERT_LE(Mutate(file, seed, &mutated), kLargestInput) << input.name << " seed " << seed;
            }
        }
}

TEST(PngMutator, RecodedImageDataHoldsTheSameRows) {
    for (const Picture &picture : kPictures) {
        const std::vector<uint8_t> file = PictureFile(picture);
        const ChunkList chunks = ReadChunkList(file.data(), file.size());
        ImageRows original;
        ASSERT_TRUE(DecodeImageRows(chunks, 1u << 20, &original));
        for (int filter = 0; filter < 5; ++filter)
            for (const bool flush : {false, true}) {
                SCOPED_TRACE(testing::Message() << "colour type " << picture.colorType << " depth " << picture.depth
                                                << " filter " << filter << (flush ? " flushed" : ""));
                ImageRows image = original;
                for (StoredRow &row : image.rows) row.filter = static_cast<uint8_t>(filter);
                DeflateChoice choice;
                choice.flushEachRow = flush;
                ChunkList recoded = chunks;
                PutImageData(&recoded, EncodeImageRows(image, choice), 3);
                ImageRows decoded;
                ASSERT_TRUE(DecodeImageRows(recoded, 1u << 20, &decoded));
                ASSERT_EQ(decoded.rows.size(), original.rows.size());
                for (size_t r = 0; r < decoded.rows.size(); ++r) {
                    EXPECT_EQ(decoded.rows[r].filter, filter) << "row " << r;
                    EXPECT_EQ(decoded.rows[r].raw, original.rows[r].raw) << "row " << r;
                }
            }
    }
}
