// Adaptive filtering: the filter byte of every row of a saved file, read back
// from the inflated image data, against the selection rule worked out here
// afresh from the rows the save was given. A filter other than None wins a
// row only with a sum strictly below every other candidate's; a shared
// smallest sum gives None.
#include <algorithm>
#include <cstdlib>
#include <set>

#include "WriteTestSupport.h"
#include "codec/RowFilterSums.h"

namespace {

enum { kNone, kSub, kUp, kAverage, kPaeth };

int Magnitude(int filtered) {
    const int asSigned = static_cast<int8_t>(static_cast<uint8_t>(filtered));
    return std::abs(asSigned);
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// The sums of the five filters on row, with above the row before it in the
// same pass (zeros for a pass's first row), straight from the PNG standard.
std::vector<long> FilterSums(const Bytes &row, const Bytes &above, size_t pixelBytes) {
    std::vector<long> sums(5, 0);
    for (size_t i = 0; i < row.size(); ++i) {
        const int x = row[i], b = above[i];
        const int a = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int c = i >= pixelBytes ? above[i - pixelBytes] : 0;
        sums[kNone] += Magnitude(x);
        sums[kSub] += Magnitude(x - a);
        sums[kUp] += Magnitude(x - b);
        sums[kAverage] += Magnitude(x - (a + b) / 2);
        sums[kPaeth] += Magnitude(x - Paeth(a, b, c));
    }
    return sums;
}

std::vector<int> Candidates(uint32_t choice) {
    if (choice == 5) return {kNone, kSub, kUp};
    if (choice == 6) return {kNone, kSub, kUp, kAverage};
    return {kNone, kSub, kUp, kAverage, kPaeth};
}

int FilterByRule(const std::vector<long> &sums, uint32_t choice) {
    int winner = kNone;
    for (int filter : Candidates(choice)) {
        if (filter == kNone) continue;
        bool strictlyBest = true;
        for (int other : Candidates(choice))
            if (other != filter && sums[other] <= sums[filter]) strictlyBest = false;
        if (strictlyBest) winner = filter;
    }
    return winner;
}

// libpng applies no filter that looks above on an image of one row, nor one
// that looks left on an image of one column: such rows get None.
bool Applicable(int filter, const PngHeaderPlan &plan) {
    if (plan.height == 1 && (filter == kUp || filter == kAverage || filter == kPaeth)) return false;
    if (plan.width == 1 && (filter == kSub || filter == kAverage || filter == kPaeth)) return false;
    return true;
}

// The rows libpng is handed, and where each pass begins among them.
struct HandedRows {
    Rows rows;
    std::vector<bool> passStart;
};

HandedRows RowsToHand(const PngHeaderPlan &plan, const Rows &image) {
    HandedRows handed;
    if (plan.interlaceMethod == PNG_INTERLACE_NONE) {
        handed.rows = image;
        handed.passStart.assign(image.size(), false);
        handed.passStart[0] = true;
        return handed;
    }
    handed.rows = AdamPassRows(image, plan.width, Channels(plan.colorType));
    for (int pass = 0; pass < 7; ++pass) {
        if (kPassStartX[pass] >= static_cast<int>(plan.width)) continue;
        for (size_t y = kPassStartY[pass]; y < image.size(); y += kPassStepY[pass])
            handed.passStart.push_back(y == static_cast<size_t>(kPassStartY[pass]));
    }
    return handed;
}

struct RowCheck {
    std::vector<int> written;
    std::vector<int> expected;
};

// Saves image with plan and reads every row's filter byte back; beside it,
// the filter the rule gives for that row.
RowCheck SaveAndCheckRows(const PngHeaderPlan &plan, const Rows &image) {
    const HandedRows handed = RowsToHand(plan, image);
    WritableFile file;
    EXPECT_TRUE(SaveToFile(file, plan, handed.rows));
    size_t total = 0;
    for (const Bytes &row : handed.rows) total += row.size() + 1;
    const Bytes data = InflateImageData(ParseChunks(file.Contents()), total);
    RowCheck check;
    if (data.empty()) return check;
    const size_t pixelBytes = static_cast<size_t>(Channels(plan.colorType));
    size_t at = 0;
    Bytes above;
    for (size_t r = 0; r < handed.rows.size(); ++r) {
        const Bytes &row = handed.rows[r];
        if (handed.passStart[r]) above.assign(row.size(), 0);
        check.written.push_back(data[at]);
        at += row.size() + 1;
        const int filter = FilterByRule(FilterSums(row, above, pixelBytes), plan.filterChoice);
        check.expected.push_back(Applicable(filter, plan) ? filter : kNone);
        above = row;
    }
    return check;
}

// Rows that repeat the one above: Up and Paeth both filter them to zeros, a
// tie at the smallest sum.
Rows StripeRows(const PngHeaderPlan &plan) {
    Bytes row(RowBytes(plan));
    for (size_t x = 0; x < row.size(); ++x) row[x] = static_cast<uint8_t>(x * 37 + 11);
    return Rows(plan.height, row);
}

Rows FlatRows(const PngHeaderPlan &plan) { return Rows(plan.height, Bytes(RowBytes(plan), 77)); }

using WriteAdaptiveFilterTest = WriteCodecTest;

TEST_F(WriteAdaptiveFilterTest, FourPixelRowWithSubAndPaethTiedGetsNone) {
    // Sums: None 100, Sub 40, Up 100, Average 70, Paeth 40.
    const struct {
        uint32_t choice;
        int filter;
    } cases[] = {{5, kSub}, {6, kSub}, {7, kNone}, {8, kNone}};
    PngHeaderPlan plan = PlanFor(4, 1, 8, PNG_COLOR_TYPE_GRAY);
    const Rows rows{Bytes{10, 20, 30, 40}};
    for (const auto &test : cases) {
        SCOPED_TRACE(test.choice);
        plan.filterChoice = test.choice;
        const RowCheck check = SaveAndCheckRows(plan, rows);
        EXPECT_EQ(check.written, std::vector<int>{test.filter});
        EXPECT_EQ(check.expected, std::vector<int>{test.filter});
    }
}

TEST_F(WriteAdaptiveFilterTest, EveryRowFollowsTheRule) {
    const struct { uint32_t width, height; } sizes[] = {{1, 1}, {1, 9}, {9, 1}, {5, 3}, {17, 9}, {40, 30}, {61, 23}};
    const int colorTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                              PNG_COLOR_TYPE_RGB_ALPHA};
    const struct {
        const char *name;
        Rows (*make)(const PngHeaderPlan &);
    } contents[] = {
        {"noise", [](const PngHeaderPlan &plan) { return NoiseRows(plan, 5); }},
        {"smooth", SmoothRows},
        {"stripes", StripeRows},
        {"flat", FlatRows},
    };
    std::set<int> filtersSeen;
    size_t tiesToNone = 0;
    for (uint32_t choice : {5u, 6u, 7u, 8u})
        for (int interlace : {PNG_INTERLACE_NONE, PNG_INTERLACE_ADAM7})
            for (const auto &size : sizes)
                for (int colorType : colorTypes)
                    for (const auto &content : contents) {
                        PngHeaderPlan plan = PlanFor(size.width, size.height, 8, colorType);
                        plan.filterChoice = choice;
                        plan.interlaceMethod = interlace;
                        SCOPED_TRACE(testing::Message()
                                     << "choice " << choice << ", interlace " << interlace << ", " << size.width << "x"
                                     << size.height << ", colour type " << colorType << ", " << content.name);
                        const RowCheck check = SaveAndCheckRows(plan, content.make(plan));
                        ASSERT_FALSE(check.written.empty());
                        EXPECT_EQ(check.written, check.expected);
                        filtersSeen.insert(check.written.begin(), check.written.end());
                        if (std::string(content.name) == "stripes" && plan.height > 1)
                            tiesToNone +=
                                static_cast<size_t>(std::count(check.written.begin(), check.written.end(), kNone));
                    }
    EXPECT_EQ(filtersSeen, (std::set<int>{kNone, kSub, kUp, kAverage, kPaeth})) << "the cases reach every filter";
    EXPECT_GT(tiesToNone, 0u) << "the cases reach tied rows";
}

// The module's sums, sixteen bytes at a time where the machine allows, against
// the byte-by-byte ones above, over row lengths around the steps of sixteen;
// bytes of few values make Paeth's distances tie often.
TEST_F(WriteAdaptiveFilterTest, RowSumsMatchTheByteByByteSums) {
    uint32_t seed = 9;
    for (uint8_t values : {0xFF, 0x03})
        for (size_t pixelBytes : {1u, 2u, 3u, 4u, 8u})
            for (size_t length = 1; length <= 70; ++length) {
                Bytes row(length), above(length);
                for (size_t i = 0; i < length; ++i) {
                    seed = seed * 1103515245u + 12345u;
                    row[i] = static_cast<uint8_t>(seed >> 16) & values;
                    above[i] = static_cast<uint8_t>(seed >> 24) & values;
                }
                SCOPED_TRACE(testing::Message()
                             << length << " bytes, pixels of " << pixelBytes << ", values " << int{values});
                const std::vector<long> all = FilterSums(row, above, pixelBytes);
                const struct {
                    RowFilterSet set;
                    std::vector<long> sums;
                } sets[] = {
                    {kNoneSubUp, {all[0], all[1], all[2], 0, 0}},
                    {kNoneSubUpAverage, {all[0], all[1], all[2], all[3], 0}},
                    {kEveryFilter, all},
                };
                for (const auto &expected : sets) {
                    const RowFilterSums sums =
                        SumRowFilters(row.data(), above.data(), length, pixelBytes, expected.set);
                    EXPECT_EQ(std::vector<long>(sums.byType, sums.byType + 5), expected.sums) << expected.set;
                }
            }
}

}  // namespace
