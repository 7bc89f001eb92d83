// The "PNG Options" dialog and the about box, operated as a person would
// through the Win32 layer's dialog manager.
#include "ModuleFixture.h"
#include "resources/ResourceIds.h"

namespace {

const Win32ControlState *Control(const Win32DialogState &dialog, int id) {
    for (int i = 0; i < dialog.controlCount; ++i)
        if (dialog.controls[i].id == id) return &dialog.controls[i];
    return nullptr;
}

std::string SelectedFilter(const Win32DialogState &dialog) {
    const Win32ControlState *list = Control(dialog, IDC_FILTER_LIST);
    if (list == nullptr || list->selection < 0 || list->selection >= list->itemCount) return "(none)";
    return list->items[list->selection];
}

struct ModeCase {
    int16_t mode;
    bool interlaceEnabled;
    const char *filter;
    bool filterEnabled;
};

}  // namespace

class OptionsDialogTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        ShowHostWindow(&session, 100, 100, 900, 700);
    }
    void TearDown() override {
        CloseHostWindow(&session);
        ModuleTest::TearDown();
    }

    int16_t RunOptions(int16_t mode) {
        session.block.imageMode = mode;
        session.block.pixelData = &session;
        return Call(kSelectorOptionsStart);
    }

    Win32DialogState Dialog(Win32DialogMoment moment) {
        Win32DialogState dialog{};
        EXPECT_TRUE(Win32GetLastDialog(moment, &dialog));
        return dialog;
    }
};

TEST_F(OptionsDialogTest, ControlsOpenWithFixedChoicesByImageMode) {
    const ModeCase cases[] = {
        {kModeBitmap, false, "None", false},   {kModeGrayscale, true, "Adaptive", true},
        {kModeIndexed, true, "None", false},   {kModeRGB, true, "Adaptive", true},
        {kModeCMYK, true, "None", false},      {kModeRGB48, true, "None", false},
    };
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(c.mode);
        QueuePersonAction(PersonAction::Escape);
        EXPECT_EQ(RunOptions(c.mode), kResultUserCancelled);
        const Win32DialogState dialog = Dialog(Win32DialogAfterInit);
        EXPECT_STREQ(dialog.caption, "PNG Options");
        EXPECT_EQ(Control(dialog, IDC_INTERLACE)->enabled, c.interlaceEnabled);
        EXPECT_EQ(Control(dialog, IDC_INTERLACE)->checked, BST_UNCHECKED);
        EXPECT_TRUE(Control(dialog, IDC_WRITE_FILE_INFO)->enabled);
        EXPECT_EQ(Control(dialog, IDC_WRITE_FILE_INFO)->checked, BST_UNCHECKED);
        EXPECT_EQ(Control(dialog, IDC_BEST_SIZE)->checked, BST_CHECKED);
        EXPECT_EQ(Control(dialog, IDC_BEST_SPEED)->checked, BST_UNCHECKED);
        EXPECT_EQ(SelectedFilter(dialog), c.filter);
        EXPECT_EQ(Control(dialog, IDC_FILTER_LIST)->enabled, c.filterEnabled);
        const Win32ControlState *list = Control(dialog, IDC_FILTER_LIST);
        ASSERT_EQ(list->itemCount, 6) << "the sorted list keeps its inserted order";
        const char *const order[] = {"None", "Sub", "Up", "Average", "Paeth", "Adaptive"};
        for (int i = 0; i < 6; ++i) EXPECT_STREQ(list->items[i], order[i]);
    }
}

TEST_F(OptionsDialogTest, OkCopiesEveryChoiceIntoTheSaveOptions) {
    struct ChoiceCase {
        int filterIndex;
        bool bestSpeed;
        uint32_t filterChoice;
        uint32_t level;
    };
    const ChoiceCase cases[] = {{0, false, 0, 9}, {4, true, 4, 1}, {5, false, 7, 9}, {2, true, 2, 1}};
    for (const ChoiceCase &c : cases) {
        QueuePersonAction(PersonAction::Click, IDC_INTERLACE);
        QueuePersonAction(PersonAction::Click, IDC_WRITE_FILE_INFO);
        QueuePersonAction(PersonAction::Select, IDC_FILTER_LIST, c.filterIndex);
        if (c.bestSpeed) QueuePersonAction(PersonAction::Click, IDC_BEST_SPEED);
        QueuePersonAction(PersonAction::Click, IDOK);
        EXPECT_EQ(RunOptions(kModeRGB), kResultNoError);
        const PluginState &state = State();
        EXPECT_EQ(state.interlace, 1u);
        EXPECT_EQ(state.writeFileInfo, 1u);
        EXPECT_EQ(state.filterChoice, c.filterChoice) << "entry " << c.filterIndex;
        EXPECT_EQ(state.compressionLevel, c.level);
        EXPECT_EQ(session.block.pixelData, nullptr);
    }
}

TEST_F(OptionsDialogTest, EnterAcceptsTheDefaults) {
    EXPECT_EQ(RunOptions(kModeGrayscale), kResultNoError);  // nothing queued: the person presses Enter
    const PluginState &state = State();
    EXPECT_EQ(state.interlace, 0u);
    EXPECT_EQ(state.writeFileInfo, 0u);
    EXPECT_EQ(state.filterChoice, 7u);
    EXPECT_EQ(state.compressionLevel, 9u);
}

TEST_F(OptionsDialogTest, DisabledControlsKeepABitmapFromInterlaceAndFilters) {
    QueuePersonAction(PersonAction::Click, IDC_INTERLACE);
    QueuePersonAction(PersonAction::Select, IDC_FILTER_LIST, 4);
    QueuePersonAction(PersonAction::Enter);
    EXPECT_EQ(RunOptions(kModeBitmap), kResultNoError);
    EXPECT_EQ(State().interlace, 0u);
    EXPECT_EQ(State().filterChoice, 0u);
}

TEST_F(OptionsDialogTest, CancelLeavesTheResetOptionsAndKeepsWriteFileInfo) {
    for (PersonAction leave : {PersonAction::Escape, PersonAction::Close}) {
        PluginState &state = CreatedState();
        state.writeFileInfo = 1;
        state.filterChoice = 2;
        state.compressionLevel = 1;
        state.interlace = 1;
        QueuePersonAction(PersonAction::Click, IDC_INTERLACE);
        QueuePersonAction(PersonAction::Click, IDC_WRITE_FILE_INFO);
        QueuePersonAction(PersonAction::Click, IDC_BEST_SPEED);
        QueuePersonAction(PersonAction::Select, IDC_FILTER_LIST, 1);
        QueuePersonAction(leave);
        EXPECT_EQ(RunOptions(kModeRGB), kResultUserCancelled);
        EXPECT_EQ(state.interlace, 0u);
        EXPECT_EQ(state.filterChoice, 6u);
        EXPECT_EQ(state.compressionLevel, 9u);
        EXPECT_EQ(state.writeFileInfo, 1u);
        EXPECT_EQ(session.block.pixelData, nullptr) << "cleared once the dialog has run, whatever its end";
    }
}

TEST_F(OptionsDialogTest, ADialogLeftOpenCountsAsCancelled) {
    QueuePersonAction(PersonAction::Click, IDC_INTERLACE);  // and then nothing more
    EXPECT_EQ(RunOptions(kModeRGB), kResultUserCancelled);
    EXPECT_EQ(Dialog(Win32DialogAtEnd).endResult, -1);
}

TEST_F(OptionsDialogTest, DialogIsCentredOnTheHostWindow) {
    QueuePersonAction(PersonAction::Escape);
    RunOptions(kModeRGB);
    const RECT r = Dialog(Win32DialogAfterInit).rect;
    const LONG width = r.right - r.left;
    const LONG height = r.bottom - r.top;
    EXPECT_GT(width, 0);
    EXPECT_EQ(r.left, (100 + 900) / 2 - width / 2);
    EXPECT_EQ(r.top, (100 + 700) / 2 - height / 2);
}

struct PlacementCase {
    RECT parent;
    bool haveParent;
    const char *why;
};

TEST_F(OptionsDialogTest, PlacementNeverGoesLeftOfOrAboveTheScreen) {
    const PlacementCase cases[] = {
        {{-500, -400, 20, 30}, true, "parent centre near the top-left corner"},
        {{0, 0, 1024, 768}, false, "no parent: centred on the screen"},
    };
    for (const PlacementCase &c : cases) {
        CloseHostWindow(&session);
        if (c.haveParent) ShowHostWindow(&session, c.parent.left, c.parent.top, c.parent.right, c.parent.bottom);
        QueuePersonAction(PersonAction::Escape);
        RunOptions(kModeRGB);
        const Win32DialogState dialog = Dialog(Win32DialogAfterInit);
        const LONG width = dialog.rect.right - dialog.rect.left;
        const LONG height = dialog.rect.bottom - dialog.rect.top;
        const LONG expectedX = std::max<LONG>(0, (c.parent.left + c.parent.right) / 2 - width / 2);
        const LONG expectedY = std::max<LONG>(0, (c.parent.top + c.parent.bottom) / 2 - height / 2);
        EXPECT_EQ(dialog.rect.left, expectedX) << c.why;
        EXPECT_EQ(dialog.rect.top, expectedY) << c.why;
        EXPECT_EQ(dialog.owner, session.hostWindow) << c.why;
    }
}

class AboutBoxTest : public OptionsDialogTest {};

TEST_F(AboutBoxTest, ShowsTheModulesTextsAndClosesOnAClick) {
    QueuePersonAction(PersonAction::ClickBody);
    EXPECT_EQ(CallAbout(&session), kResultNoError);
    const Win32DialogState dialog = Dialog(Win32DialogAtEnd);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.endResult, 1);
    EXPECT_EQ(dialog.owner, session.hostWindow);
    std::vector<std::string> texts;
    for (int i = 0; i < dialog.controlCount; ++i) texts.push_back(dialog.controls[i].text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts.front(), "PNG File Format");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Version 1.0"), texts.end());
    EXPECT_EQ(texts.back(), "PNG Format files.");
}

TEST_F(AboutBoxTest, KeysDoNotCloseIt) {
    for (PersonAction key : {PersonAction::Escape, PersonAction::Enter}) {
        QueuePersonAction(key);
        EXPECT_EQ(CallAbout(&session), kResultNoError) << "the about call always answers 0";
        const Win32DialogState dialog = Dialog(Win32DialogAtEnd);
        EXPECT_EQ(dialog.endResult, -1) << "still open when the person's actions ran out";
    }
}

TEST_F(AboutBoxTest, IsCentredOnTheHostWindowAndClampedToTheScreen) {
    CloseHostWindow(&session);
    ShowHostWindow(&session, -300, -300, 10, 10);
    QueuePersonAction(PersonAction::ClickBody);
    CallAbout(&session);
    const RECT r = Dialog(Win32DialogAfterInit).rect;
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_GT(r.right, 0);
}
