// The "PNG Options" dialog and the about box as a person sees and operates
// them: what each control shows, where the dialog opens, and how it closes.
#include <algorithm>

#include "HostFixture.h"
#include "resources/ResourceIds.h"

namespace {

const char *const kFilterOrder[] = {"None", "Sub", "Up", "Average", "Paeth", "Adaptive"};

const ControlView *Control(const DialogView &dialog, int id) {
    for (const ControlView &control : dialog.controls)
        if (control.id == id) return &control;
    return nullptr;
}

std::string SelectedFilter(const ControlView &list) {
    if (list.selection < 0 || list.selection >= static_cast<int>(list.items.size())) return "(none)";
    return list.items[static_cast<size_t>(list.selection)];
}

struct ModeCase {
    int16_t mode;
    bool interlaceEnabled;
    const char *filter;
    bool filterEnabled;
};

}  // namespace

class DialogTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ShowHostWindow(&session, 100, 100, 900, 700);
    }

    // The options step alone, for an image of the given mode.
    int16_t RunOptions(int16_t mode) {
        ResetHostBlock(&session);
        session.block.imageMode = mode;
        return CallSelector(&session, kSelectorOptionsStart);
    }

    DialogView Seen() {
        DialogView dialog;
        EXPECT_TRUE(LastDialog(&dialog));
        return dialog;
    }
};

TEST_F(DialogTest, OptionsOpenWithFixedChoicesByImageMode) {
    const ModeCase cases[] = {
        {kModeBitmap, false, "None", false}, {kModeGrayscale, true, "Adaptive", true},
        {kModeIndexed, true, "None", false}, {kModeRGB, true, "Adaptive", true},
    };
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(c.mode);
        QueuePersonAction(PersonAction::Escape);
        EXPECT_EQ(RunOptions(c.mode), kResultUserCancelled);
        const DialogView dialog = Seen();
        EXPECT_EQ(dialog.caption, "PNG Options");
        EXPECT_FALSE(dialog.leftOpen);
        ASSERT_NE(Control(dialog, IDC_INTERLACE), nullptr);
        EXPECT_EQ(Control(dialog, IDC_INTERLACE)->enabled, c.interlaceEnabled);
        EXPECT_EQ(Control(dialog, IDC_INTERLACE)->checked, 0);
        EXPECT_TRUE(Control(dialog, IDC_WRITE_FILE_INFO)->enabled);
        EXPECT_EQ(Control(dialog, IDC_WRITE_FILE_INFO)->checked, 0);
        EXPECT_EQ(Control(dialog, IDC_BEST_SIZE)->checked, 1);
        EXPECT_EQ(Control(dialog, IDC_BEST_SPEED)->checked, 0);
        const ControlView *list = Control(dialog, IDC_FILTER_LIST);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(SelectedFilter(*list), c.filter);
        EXPECT_EQ(list->enabled, c.filterEnabled);
        ASSERT_EQ(list->items.size(), 6u) << "the sorted list keeps its inserted order";
        for (size_t i = 0; i < 6; ++i) EXPECT_EQ(list->items[i], kFilterOrder[i]);
    }
}

TEST_F(DialogTest, OptionsCloseOnlyThroughTheirButtons) {
    struct CloseCase {
        std::vector<PersonAction> actions;
        int16_t result;
        bool leftOpen;
    };
    const CloseCase cases[] = {
        {{PersonAction::Enter}, kResultNoError, false},      {{}, kResultNoError, false},
        {{PersonAction::Escape}, kResultUserCancelled, false}, {{PersonAction::Close}, kResultUserCancelled, false},
        {{PersonAction::ClickBody}, kResultUserCancelled, true},
    };
    for (const CloseCase &c : cases) {
        SCOPED_TRACE(c.actions.size());
        for (PersonAction action : c.actions) QueuePersonAction(action);
        EXPECT_EQ(RunOptions(kModeRGB), c.result);
        EXPECT_EQ(Seen().leftOpen, c.leftOpen);
    }
}

TEST_F(DialogTest, OptionsAreCentredOnTheHostWindowAndOwnedByIt) {
    QueuePersonAction(PersonAction::Escape);
    RunOptions(kModeRGB);
    const DialogView dialog = Seen();
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    EXPECT_EQ(dialog.left, (100 + 900) / 2 - width / 2);
    EXPECT_EQ(dialog.top, (100 + 700) / 2 - height / 2);
    EXPECT_EQ(dialog.owner, session.hostWindow);
}

TEST_F(DialogTest, OptionsStayOnTheScreenNearItsTopLeftCorner) {
    CloseHostWindow(&session);
    ShowHostWindow(&session, -500, -400, 20, 30);
    QueuePersonAction(PersonAction::Escape);
    RunOptions(kModeRGB);
    const DialogView dialog = Seen();
    EXPECT_EQ(dialog.left, 0);
    EXPECT_EQ(dialog.top, 0);
}

TEST_F(DialogTest, AboutBoxShowsTheModulesTextsAndClosesOnAClick) {
    QueuePersonAction(PersonAction::ClickBody);
    EXPECT_EQ(CallAbout(&session), kResultNoError);
    const DialogView dialog = Seen();
    EXPECT_FALSE(dialog.leftOpen) << "the click closed it";
    EXPECT_EQ(dialog.owner, session.hostWindow);
    const std::vector<std::string> texts = LastDialogTexts();
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts.front(), "PNG File Format");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Version 1.0"), texts.end());
    EXPECT_EQ(texts.back(), "PNG Format files.");
}

TEST_F(DialogTest, AboutBoxIgnoresKeys) {
    for (PersonAction key : {PersonAction::Enter, PersonAction::Escape}) {
        QueuePersonAction(key);
        EXPECT_EQ(CallAbout(&session), kResultNoError) << "the about call always answers 0";
        EXPECT_TRUE(Seen().leftOpen) << "still open when the person's actions ran out";
    }
}

TEST_F(DialogTest, AboutBoxIsCentredOnTheHostWindow) {
    QueuePersonAction(PersonAction::ClickBody);
    CallAbout(&session);
    const DialogView dialog = Seen();
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    EXPECT_EQ(dialog.left, (100 + 900) / 2 - width / 2);
    EXPECT_EQ(dialog.top, (100 + 700) / 2 - height / 2);
}
