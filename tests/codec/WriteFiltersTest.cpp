// The filter type byte libpng put in front of each row, read back from the
// inflated image data.
#include <set>

#include "WriteTestSupport.h"

namespace {

std::vector<int> RowFilters(const PngHeaderPlan &plan, const Rows &rows) {
    WritableFile file;
    EXPECT_TRUE(SaveToFile(file, plan, rows));
    const size_t stride = RowBytes(plan) + 1;
    const Bytes filtered = InflateImageData(ParseChunks(file.Contents()), plan.height * stride);
    EXPECT_FALSE(filtered.empty());
    std::vector<int> filters;
    for (size_t at = 0; at < filtered.size(); at += stride) filters.push_back(filtered[at]);
    return filters;
}

std::set<int> FiltersUsed(const PngHeaderPlan &plan, const Rows &rows) {
    const std::vector<int> filters = RowFilters(plan, rows);
    return std::set<int>(filters.begin(), filters.end());
}

using WriteFiltersTest = WriteCodecTest;

TEST_F(WriteFiltersTest, SingleFilterChoiceFiltersEveryRow) {
    for (int colorType : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB}) {
        PngHeaderPlan plan = PlanFor(40, 30, 8, colorType);
        const Rows rows = SmoothRows(plan);
        for (uint32_t choice = 0; choice <= 4; ++choice) {
            SCOPED_TRACE(testing::Message() << "colour type " << colorType << ", choice " << choice);
            plan.filterChoice = choice;
            EXPECT_EQ(RowFilters(plan, rows), std::vector<int>(plan.height, static_cast<int>(choice)));
        }
    }
}

// On noise every filter does about as well as any other, so over a hundred
// rows libpng picks each one it may use at least once.
TEST_F(WriteFiltersTest, CombinedChoicesUseOnlyTheirFilters) {
    const struct {
        uint32_t choice;
        std::set<int> filters;
    } cases[] = {
        {5, {0, 1, 2}},
        {6, {0, 1, 2, 3}},
        {7, {0, 1, 2, 3, 4}},
        {8, {0, 1, 2, 3, 4}},     // bit of weight 8
        {13, {0, 1, 2, 3, 4}},    // bit of weight 8 with a single filter's value
        {16, {0, 1, 2, 3, 4}},    // above 7 without it
        {0xffffffff, {0, 1, 2, 3, 4}},
    };
    PngHeaderPlan plan = PlanFor(64, 100, 8, PNG_COLOR_TYPE_RGB);
    const Rows rows = NoiseRows(plan, 7);
    for (const auto &test : cases) {
        SCOPED_TRACE(test.choice);
        plan.filterChoice = test.choice;
        EXPECT_EQ(FiltersUsed(plan, rows), test.filters);
    }
}

TEST_F(WriteFiltersTest, PaletteAndOneBitImagesAreNeverFiltered) {
    uint8_t table[256] = {};
    PngHeaderPlan palette = PlanFor(64, 100, 8, PNG_COLOR_TYPE_PALETTE);
    palette.red = palette.green = palette.blue = table;
    palette.paletteEntries = 256;
    const PngHeaderPlan oneBit = PlanFor(200, 100, 1, PNG_COLOR_TYPE_GRAY);
    for (PngHeaderPlan plan : {palette, oneBit}) {
        const Rows rows = NoiseRows(plan, 3);
        for (uint32_t choice : {1u, 2u, 4u, 5u, 6u, 7u, 8u}) {
            SCOPED_TRACE(testing::Message() << "colour type " << plan.colorType << ", choice " << choice);
            plan.filterChoice = choice;
            EXPECT_EQ(FiltersUsed(plan, rows), std::set<int>{0});
        }
    }
}

}  // namespace
