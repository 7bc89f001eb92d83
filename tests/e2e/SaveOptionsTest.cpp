// Saves of every image mode with each choice of the options dialog, checked
// in the bytes of the file written and by opening it again.
#include "HostFixture.h"
#include "PngBytes.h"

namespace {

enum { kFilterAdaptive = 5 };

struct ModeImage {
    const char *file;
    int16_t mode;
    bool filtersOffered;  // only continuous-tone images get row filters
    bool interlaceOffered;
};

const ModeImage kModes[] = {
    {"basn0g01.png", kModeBitmap, false, false},   {"basn0g08.png", kModeGrayscale, true, true},
    {"basn4a08.png", kModeGrayscale, true, true},  {"basn3p08.png", kModeIndexed, false, true},
    {"basn2c08.png", kModeRGB, true, true},        {"basn6a08.png", kModeRGB, true, true},
};

struct OptionCase {
    const char *name;
    SaveChoices choices;
};

SaveChoices Choices(bool interlace, int filter, bool fast) {
    SaveChoices choices;
    choices.interlace = interlace;
    choices.filterEntry = filter;
    choices.bestSpeed = fast;
    return choices;
}

const OptionCase kOptions[] = {
    {"defaults", SaveChoices{}},          {"interlaced", Choices(true, -1, false)},
    {"none", Choices(false, 0, false)},   {"sub", Choices(false, 1, false)},
    {"up", Choices(false, 2, false)},     {"average", Choices(false, 3, false)},
    {"paeth", Choices(false, 4, true)},   {"adaptive fast", Choices(false, kFilterAdaptive, true)},
    {"interlaced paeth", Choices(true, 4, false)},
};

// Filter types allowed on each row: the chosen one, except that the first row
// may fall back to None where its filter would look at a row above; with the
// list disabled every row is None; Adaptive may use any.
void ExpectRowFilters(const std::vector<int> &filters, const ModeImage &image, int chosen) {
    ASSERT_FALSE(filters.empty());
    const int expected = image.filtersOffered ? (chosen < 0 ? kFilterAdaptive : chosen) : 0;
    if (expected == kFilterAdaptive) return;
    for (size_t row = 0; row < filters.size(); ++row) {
        if (row == 0 && filters[row] == 0) continue;
        EXPECT_EQ(filters[row], expected) << "row " << row;
    }
}

}  // namespace

class SaveOptionsTest : public HostTest {};

TEST_F(SaveOptionsTest, EveryModeWithEveryChoiceReopensUnchanged) {
    for (const ModeImage &image : kModes) {
        for (const OptionCase &option : kOptions) {
            SCOPED_TRACE(std::string(image.file) + ", " + option.name);
            ASSERT_EQ(Open(PngSuitePath(image.file)), kResultNoError);
            ASSERT_EQ(session.image.mode, image.mode);
            const HostImage opened = session.image;
            const std::string path = OutputPath("options-" + std::string(option.name) + "-" + image.file);
            ASSERT_EQ(Save(path, option.choices), kResultNoError);
            const std::vector<uint8_t> bytes = ReadBytes(path);

            PngHeader header;
            ASSERT_TRUE(ReadHeader(bytes, &header));
            EXPECT_EQ(header.interlace, option.choices.interlace && image.interlaceOffered ? 1 : 0);
            EXPECT_EQ(ZlibLevelClass(bytes), option.choices.bestSpeed ? 0 : 3);
            if (header.interlace == 0) ExpectRowFilters(RowFilters(bytes), image, option.choices.filterEntry);

            ASSERT_EQ(Open(path), kResultNoError);
            EXPECT_EQ(session.image.mode, opened.mode);
            EXPECT_TRUE(VisiblePixels(session.image) == VisiblePixels(opened)) << "pixels differ";
            std::remove(path.c_str());
        }
    }
}

TEST_F(SaveOptionsTest, CancelWritesNothing) {
    for (PersonAction leave : {PersonAction::Escape, PersonAction::Close}) {
        ASSERT_EQ(Open(PngSuitePath("basn2c08.png")), kResultNoError);
        SaveChoices choices;
        choices.interlace = true;
        choices.cancel = leave == PersonAction::Escape;
        if (leave == PersonAction::Close) QueuePersonAction(PersonAction::Close);
        const std::string path = OutputPath("cancelled-" + TestName() + ".png");
        // Close is queued ahead of the choices: the person closes the dialog first.
        EXPECT_EQ(Save(path, choices), kResultUserCancelled);
        EXPECT_TRUE(ReadBytes(path).empty());
        std::remove(path.c_str());
    }
}

// "Adaptive" on a row whose smallest sum Sub and Paeth share (None 100, Sub
// 40, Up 100, Average 70, Paeth 40): the row is written with None.
TEST_F(SaveOptionsTest, AdaptiveWritesARowOfTiedFiltersWithNone) {
    HostImage image;
    image.mode = kModeGrayscale;
    image.depth = 8;
    image.planes = 1;
    image.columns = 4;
    image.rows = 1;
    AllocateHostImage(&image);
    image.pixels = {10, 20, 30, 40};
    session.image = image;
    const std::string path = OutputPath("adaptive-tie.png");
    ASSERT_EQ(Save(path, Choices(false, kFilterAdaptive, false)), kResultNoError);
    EXPECT_EQ(RowFilters(ReadBytes(path)), std::vector<int>{0});
    std::remove(path.c_str());
}
