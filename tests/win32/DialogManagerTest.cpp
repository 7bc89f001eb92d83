#include "DialogTestSupport.h"

#include <string>

namespace {

struct Action {
    Win32DialogActionKind kind;
    int id;
    int index;
};

struct ExpectedMessage {
    UINT message;
    WORD low;     // LOWORD(wParam)
    WORD high;    // HIWORD(wParam)
    int control;  // the control lParam names, for WM_COMMAND
};

struct ActionCase {
    const char *what;
    std::vector<Action> actions;
    std::vector<ExpectedMessage> expected;  // after WM_INITDIALOG
    INT_PTR result;
};

const ExpectedMessage kOk{WM_COMMAND, IDOK, BN_CLICKED, IDOK};
const ExpectedMessage kCancel{WM_COMMAND, IDCANCEL, BN_CLICKED, IDCANCEL};

// Each action, and the messages the dialog procedure gets for it, in order.
TEST_F(DialogTest, EachActionSendsItsMessages) {
    const ActionCase cases[] = {
        {"nothing queued: Enter", {}, {kOk}, IDOK},
        {"Enter presses the default button", {{Win32ActionEnter, 0, 0}}, {kOk}, IDOK},
        {"click Cancel", {{Win32ActionClick, IDCANCEL, 0}}, {kCancel}, IDCANCEL},
        {"Escape", {{Win32ActionEscape, 0, 0}}, {kCancel}, IDCANCEL},
        {"close box not handled: Cancel", {{Win32ActionClose, 0, 0}}, {{WM_CLOSE, 0, 0, 0}, kCancel}, IDCANCEL},
        {"check box",
         {{Win32ActionClick, IDC_CHECK_ONE, 0}, {Win32ActionEnter, 0, 0}},
         {{WM_COMMAND, IDC_CHECK_ONE, BN_CLICKED, IDC_CHECK_ONE}, kOk},
         IDOK},
        {"combo box choice",
         {{Win32ActionSelect, IDC_LIST, 2}, {Win32ActionEnter, 0, 0}},
         {{WM_COMMAND, IDC_LIST, CBN_SELCHANGE, IDC_LIST}, kOk},
         IDOK},
        {"click on the dialog body",
         {{Win32ActionClickBody, 0, 0}, {Win32ActionEscape, 0, 0}},
         {{WM_LBUTTONDOWN, MK_LBUTTON, 0, 0}, kCancel},
         IDCANCEL},
    };
    for (const ActionCase &c : cases) {
        SCOPED_TRACE(c.what);
        received.clear();
        for (const Action &action : c.actions) Queue(action.kind, action.id, action.index);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Run(IDD_FULL), c.result);
        ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(received.size(), c.expected.size() + 1);
        EXPECT_EQ(received[0].message, UINT{WM_INITDIALOG});
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const Received &got = received[i + 1];
            const ExpectedMessage &want = c.expected[i];
            EXPECT_EQ(got.message, want.message) << i;
            EXPECT_EQ(LOWORD(got.wParam), want.low) << i;
            EXPECT_EQ(HIWORD(got.wParam), want.high) << i;
            EXPECT_EQ(got.lParamControl, want.control) << i;
        }
        EXPECT_EQ(Win32PendingDialogActions(), 0u);
    }
}

// Clicks on disabled, unknown or inert controls and impossible choices reach
// the procedure not at all, and each leaves a note.
TEST_F(DialogTest, IgnoredActionsSendNothingAndLeaveANoteEach) {
    for (int id : {IDC_APPLY, IDC_CHECK_TWO, 4242, IDC_LABEL, IDC_GROUP}) Queue(Win32ActionClick, id);
    Queue(Win32ActionSelect, IDC_LIST, 9);
    Queue(Win32ActionSelect, IDC_CHECK_ONE, 0);
    Queue(Win32ActionEscape);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(IDD_FULL), IDCANCEL);
    const std::string notes = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    for (const char *note : {"control 1000 is disabled", "control 1002 is disabled", "no control 4242", "no entry 9",
                             "no combo box 1001"})
        EXPECT_NE(notes.find(note), std::string::npos) << note << " in " << notes;
}

TEST_F(DialogTest, HandledCloseBoxIsNotCancel) {
    react = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message != WM_CLOSE) return FALSE;
        EndDialog(dialog, 42);
        return TRUE;
    };
    Queue(Win32ActionClose);
    EXPECT_EQ(Run(IDD_FULL), 42);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].message, UINT{WM_CLOSE});
}

// A dialog like the module's about box: only a click on its body ends it.
INT_PTR EndOnBodyClick(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_LBUTTONDOWN) EndDialog(dialog, 5);
    return message == WM_LBUTTONDOWN || message == WM_INITDIALOG;
}

// Escape queued, or nothing queued (Enter, with no button: IDOK and no
// control), both leave the dialog open: it ends with -1 and a note.
TEST_F(DialogTest, DialogIgnoringKeysEndsWithMinusOneWhenActionsRunOut) {
    react = EndOnBodyClick;
    for (bool queueEscape : {true, false}) {
        received.clear();
        if (queueEscape) Queue(Win32ActionEscape);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Run("PlainBox"), -1);
        const std::string notes = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(notes.find("\"PlainBox\") was still open when the queued actions ran out"), std::string::npos) << notes;
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(received[1].wParam, MAKEWPARAM(queueEscape ? IDCANCEL : IDOK, BN_CLICKED));
        EXPECT_EQ(received[1].lParam, 0);
        const Win32DialogState atEnd = LastDialog(Win32DialogAtEnd);
        EXPECT_FALSE(atEnd.ended);
        EXPECT_EQ(atEnd.endResult, -1);
    }
    received.clear();
    Queue(Win32ActionEscape);
    Queue(Win32ActionClickBody);
    EXPECT_EQ(Run("plainbox"), 5);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[2].wParam, WPARAM{MK_LBUTTON});
    EXPECT_EQ(received[2].lParam, MAKELPARAM(1, 1));  // the static starts at (8, 8)
}

TEST_F(DialogTest, EndDialogDuringInitEndsBeforeAnyAction) {
    react = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) EndDialog(dialog, 7);
        return TRUE;
    };
    Queue(Win32ActionClick, IDOK);
    EXPECT_EQ(Run(IDD_FULL), 7);
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(Win32PendingDialogActions(), 1u);
    EXPECT_TRUE(LastDialog(Win32DialogAfterInit).ended);
}

TEST_F(DialogTest, QueuedActionsCarryOverToTheNextDialog) {
    const size_t shown = Win32DialogsShown();
    Queue(Win32ActionClick, IDOK);
    Queue(Win32ActionEscape);
    EXPECT_EQ(Run(IDD_FULL), IDOK);
    EXPECT_EQ(Win32PendingDialogActions(), 1u);
    EXPECT_EQ(Run(IDD_FULL), IDCANCEL);
    EXPECT_EQ(Win32DialogsShown(), shown + 2);
}

// WM_INITDIALOG names the first tab stop and passes the parameter on. The
// owner is disabled and the dialog active while it is up; GetParent of a
// dialog is its owner, of a control its dialog.
TEST_F(DialogTest, OwnerAndActiveWindowWhileTheDialogIsUp) {
    HWND host = Win32CreateHostWindow(nullptr);
    Win32SetActiveWindow(host);
    react = [host](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EXPECT_EQ(GetActiveWindow(), host);
            EXPECT_EQ(reinterpret_cast<HWND>(wParam), GetDlgItem(dialog, IDOK));
            EXPECT_EQ(lParam, 1234);
        } else if (message == WM_COMMAND) {
            EXPECT_EQ(GetActiveWindow(), dialog);
        }
        EXPECT_FALSE(IsWindowEnabled(host));
        EXPECT_EQ(GetParent(dialog), host);
        EXPECT_EQ(GetParent(GetDlgItem(dialog, IDOK)), dialog);
        return EndOnOkOrCancel(dialog, message, wParam, lParam);
    };
    EXPECT_EQ(Run(MAKEINTRESOURCEA(IDD_FULL), host, 1234), IDOK);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(GetActiveWindow(), host);
    EXPECT_EQ(LastDialog(Win32DialogAtEnd).owner, host);
    Win32DestroyHostWindow(host);
}

bool SameRect(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// IDD_FULL is at (10, 20) and 200 by 120 dialog units: 15 by 33 pixels from
// the owner, a 300 by 195 client area, a 3-pixel frame and a 19-pixel caption.
// Its OK button at (140, 6), 50 by 14 units, is at (210, 10), 75 by 23.
TEST_F(DialogTest, GeometryFollowsTheTemplate) {
    const RECT where{100, 50, 900, 650};
    HWND host = Win32CreateHostWindow(&where);
    react = [](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            RECT rect{};
            EXPECT_TRUE(GetWindowRect(dialog, &rect));
            EXPECT_TRUE(SameRect(rect, RECT{115, 83, 115 + 306, 83 + 220}));
            EXPECT_TRUE(GetWindowRect(GetDlgItem(dialog, IDOK), &rect));
            EXPECT_TRUE(SameRect(rect, RECT{328, 115, 328 + 75, 115 + 23}));
        }
        return EndOnOkOrCancel(dialog, message, wParam, lParam);
    };
    Run(IDD_FULL, host);
    const Win32DialogState state = LastDialog(Win32DialogAfterInit);
    EXPECT_TRUE(SameRect(state.rect, RECT{115, 83, 421, 303}));
    EXPECT_TRUE(SameRect(Control(state, IDOK).rect, RECT{328, 115, 403, 138}));
    Win32DestroyHostWindow(host);

    react = EndOnOkOrCancel;
    const RECT screen{7, 9, 807, 609};
    Win32SetScreenRect(&screen);
    Run(IDD_FULL);
    EXPECT_EQ(LastDialog(Win32DialogAtEnd).rect.left, 22);
    EXPECT_EQ(LastDialog(Win32DialogAtEnd).rect.top, 42);
    Run(IDD_FULL, GetDesktopWindow());  // the desktop as owner: no owner
    EXPECT_EQ(LastDialog(Win32DialogAtEnd).owner, nullptr);
    EXPECT_EQ(LastDialog(Win32DialogAtEnd).rect.left, 22);
    const RECT standard{0, 0, 1024, 768};
    Win32SetScreenRect(&standard);
}

// Centering code moves the dialog in WM_INITDIALOG; its controls go along.
TEST_F(DialogTest, MovedDialogTakesItsControlsAlong) {
    react = [](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EXPECT_TRUE(MoveWindow(dialog, 5, 6, 400, 300, TRUE));
        }
        return EndOnOkOrCancel(dialog, message, wParam, lParam);
    };
    Run(IDD_FULL);
    const Win32DialogState state = LastDialog(Win32DialogAfterInit);
    EXPECT_TRUE(SameRect(state.rect, RECT{5, 6, 405, 306}));
    EXPECT_TRUE(SameRect(Control(state, IDOK).rect, RECT{5 + 3 + 210, 6 + 22 + 10, 5 + 3 + 285, 6 + 22 + 33}));
}

TEST_F(DialogTest, SnapshotsShowControlsAfterInitAndAtEnd) {
    Queue(Win32ActionClick, IDC_CHECK_ONE);
    Queue(Win32ActionClick, IDC_MEDIUM);
    Queue(Win32ActionSelect, IDC_LIST, 1);
    Queue(Win32ActionEnter);
    EXPECT_EQ(Run(IDD_FULL), IDOK);

    const Win32DialogState first = LastDialog(Win32DialogAfterInit);
    EXPECT_EQ(first.templateId, IDD_FULL);
    EXPECT_STREQ(first.caption, "Fixture Options");
    EXPECT_EQ(first.controlCount, 13);
    EXPECT_FALSE(first.ended);
    EXPECT_EQ(Control(first, IDC_CHECK_ONE).checked, BST_UNCHECKED);
    EXPECT_EQ(Control(first, IDC_LIST).selection, CB_ERR);
    EXPECT_STREQ(Control(first, IDC_LABEL).className, "Static");
    EXPECT_STREQ(Control(first, IDC_LIST).className, "ComboBox");
    EXPECT_STREQ(Control(first, IDC_APPLY).text, "Apply");
    EXPECT_FALSE(Control(first, IDC_APPLY).enabled);

    const Win32DialogState last = LastDialog(Win32DialogAtEnd);
    EXPECT_TRUE(last.ended);
    EXPECT_EQ(last.endResult, IDOK);
    EXPECT_EQ(Control(last, IDC_CHECK_ONE).checked, BST_CHECKED);
    EXPECT_EQ(Control(last, IDC_MEDIUM).checked, BST_CHECKED);
    ASSERT_EQ(Control(last, IDC_LIST).itemCount, 3);
    EXPECT_STREQ(Control(last, IDC_LIST).items[2], "Up");
    EXPECT_EQ(Control(last, IDC_LIST).selection, 1);
}

// Clicking an automatic radio button unchecks the others of its group only:
// Slow, Medium and Fast form one group, Other starts the next.
TEST_F(DialogTest, AutomaticRadioButtonsKeepToTheirGroup) {
    struct Case {
        std::vector<int> clicks;
        int slow, medium, fast, other;
    };
    const Case cases[] = {
        {{IDC_SLOW}, 1, 0, 0, 0},
        {{IDC_SLOW, IDC_FAST}, 0, 0, 1, 0},
        {{IDC_FAST, IDC_OTHER}, 0, 0, 1, 1},
        {{IDC_MEDIUM, IDC_MEDIUM}, 0, 1, 0, 0},
    };
    for (const Case &c : cases) {
        for (int id : c.clicks) Queue(Win32ActionClick, id);
        Queue(Win32ActionEscape);
        Run(IDD_FULL);
        const Win32DialogState state = LastDialog(Win32DialogAtEnd);
        EXPECT_EQ(Control(state, IDC_SLOW).checked, c.slow);
        EXPECT_EQ(Control(state, IDC_MEDIUM).checked, c.medium);
        EXPECT_EQ(Control(state, IDC_FAST).checked, c.fast);
        EXPECT_EQ(Control(state, IDC_OTHER).checked, c.other);
    }
}

TEST_F(DialogTest, MissingTemplateOrOwnerFailsWithMinusOne) {
    const size_t shown = Win32DialogsShown();
    HWND gone = Win32CreateHostWindow(nullptr);
    Win32DestroyHostWindow(gone);
    HMODULE tests = Win32ModuleFromAddress(reinterpret_cast<const void *>(&SameRect));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(IDD_UNKNOWN), -1);
    EXPECT_EQ(Run(IDD_FULL, gone), -1);
    EXPECT_EQ(DialogBoxParamA(tests, MAKEINTRESOURCEA(IDD_FULL), nullptr, nullptr, 0), -1);
    const std::string notes = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(notes.find("no dialog template 299"), std::string::npos) << notes;
    EXPECT_NE(notes.find("not a window"), std::string::npos) << notes;
    EXPECT_EQ(Win32DialogsShown(), shown);
    EXPECT_TRUE(received.empty());
}

}  // namespace
