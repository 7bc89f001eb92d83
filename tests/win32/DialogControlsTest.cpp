#include "DialogTestSupport.h"

#include <string>

namespace {

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, const char *text = nullptr) {
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, reinterpret_cast<LPARAM>(text));
}

std::vector<std::string> Entries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const LRESULT count = Send(dialog, id, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        std::string text(static_cast<size_t>(Send(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i))), '\0');
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, id), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0])),
                  static_cast<LRESULT>(text.size()));
        entries.push_back(text);
    }
    return entries;
}

// Runs `checks` inside WM_INITDIALOG of the fixture dialog, then ends it.
class DialogControlsTest : public DialogTest {
protected:
    void RunInDialog(std::function<void(HWND)> checks) {
        react = [checks](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
            if (message != WM_INITDIALOG) return FALSE;
            checks(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        };
        EXPECT_EQ(Run(IDD_FULL), 1);
    }
};

TEST_F(DialogControlsTest, ComboBoxListAndSelection) {
    RunInDialog([](HWND dialog) {
        struct Step {
            UINT message;
            WPARAM wParam;
            const char *text;
            LRESULT result;
        };
        const Step steps[] = {
            {CB_GETCURSEL, 0, nullptr, CB_ERR},
            {CB_ADDSTRING, 0, "b", 0},
            {CB_ADDSTRING, 0, "d", 1},
            {CB_INSERTSTRING, 0, "a", 0},
            {CB_INSERTSTRING, static_cast<WPARAM>(-1), "e", 3},
            {CB_INSERTSTRING, 2, "c", 2},
            {CB_INSERTSTRING, 9, "x", CB_ERR},
            {CB_GETCOUNT, 0, nullptr, 5},
            {CB_SETCURSEL, 1, nullptr, 1},
            {CB_INSERTSTRING, 0, "0", 0},  // the selection follows its entry
            {CB_GETCURSEL, 0, nullptr, 2},
            {CB_SETCURSEL, 6, nullptr, CB_ERR},
            {CB_GETCURSEL, 0, nullptr, CB_ERR},
            {CB_GETLBTEXTLEN, 6, nullptr, CB_ERR},
            {CB_GETLBTEXT, 6, "", CB_ERR},
        };
        for (const Step &step : steps)
            EXPECT_EQ(Send(dialog, IDC_LIST, step.message, step.wParam, step.text), step.result)
                << std::hex << step.message;
        EXPECT_EQ(Entries(dialog, IDC_LIST), (std::vector<std::string>{"0", "a", "b", "c", "d", "e"}));
        EXPECT_EQ(Send(dialog, IDC_LIST, CB_RESETCONTENT), 0);
        EXPECT_EQ(Send(dialog, IDC_LIST, CB_GETCOUNT), 0);
    });
}

TEST_F(DialogControlsTest, SortedComboBoxKeepsItsListInOrder) {
    RunInDialog([](HWND dialog) {
        EXPECT_EQ(Send(dialog, IDC_SORTED, CB_ADDSTRING, 0, "pear"), 0);
        EXPECT_EQ(Send(dialog, IDC_SORTED, CB_ADDSTRING, 0, "Apple"), 0);
        EXPECT_EQ(Send(dialog, IDC_SORTED, CB_ADDSTRING, 0, "banana"), 1);
        EXPECT_EQ(Send(dialog, IDC_SORTED, CB_INSERTSTRING, 0, "zebra"), 0);  // inserting does not sort
        EXPECT_EQ(Entries(dialog, IDC_SORTED), (std::vector<std::string>{"zebra", "Apple", "banana", "pear"}));
    });
}

TEST_F(DialogControlsTest, CheckStatesOfButtons) {
    RunInDialog([](HWND dialog) {
        EXPECT_EQ(Send(dialog, IDC_CHECK_ONE, BM_SETCHECK, BST_CHECKED), 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_ONE), UINT{BST_CHECKED});
        Send(dialog, IDOK, BM_SETCHECK, BST_CHECKED);  // push buttons have no check
        EXPECT_EQ(Send(dialog, IDOK, BM_GETCHECK), BST_UNCHECKED);

        Send(dialog, IDC_OTHER, BM_SETCHECK, BST_CHECKED);
        EXPECT_TRUE(CheckRadioButton(dialog, IDC_SLOW, IDC_FAST, IDC_MEDIUM));
        EXPECT_TRUE(CheckRadioButton(dialog, IDC_SLOW, IDC_FAST, IDC_FAST));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SLOW), 0u);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MEDIUM), 0u);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAST), 1u);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OTHER), 1u);  // outside the range
        EXPECT_EQ(IsDlgButtonChecked(dialog, 4242), 0u);
        EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
    });
}

// BM_CLICK acts as a click: the procedure hears about it at once, and a
// disabled button ignores it until enabled.
TEST_F(DialogControlsTest, ButtonClickMessageAndEnabling) {
    react = [](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            Send(dialog, IDC_CHECK_ONE, BM_CLICK);
            Send(dialog, IDC_CHECK_TWO, BM_CLICK);
            EXPECT_TRUE(EnableWindow(GetDlgItem(dialog, IDC_APPLY), TRUE));  // it was disabled
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        }
        return EndOnOkOrCancel(dialog, message, wParam, lParam);
    };
    Queue(Win32ActionClick, IDC_APPLY);
    Queue(Win32ActionEscape);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(IDD_FULL), IDCANCEL);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("control 1002 is disabled"), std::string::npos);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].wParam, MAKEWPARAM(IDC_CHECK_ONE, BN_CLICKED));
    EXPECT_EQ(received[2].wParam, MAKEWPARAM(IDC_APPLY, BN_CLICKED));
    EXPECT_EQ(Control(LastDialog(Win32DialogAtEnd), IDC_CHECK_ONE).checked, BST_CHECKED);
    EXPECT_TRUE(Control(LastDialog(Win32DialogAtEnd), IDC_APPLY).enabled);
}

TEST_F(DialogControlsTest, DisabledComboBoxIgnoresChoices) {
    react = [](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        const INT_PTR handled = EndOnOkOrCancel(dialog, message, wParam, lParam);
        if (message == WM_INITDIALOG) EnableWindow(GetDlgItem(dialog, IDC_LIST), FALSE);
        return handled;
    };
    Queue(Win32ActionSelect, IDC_LIST, 0);
    Queue(Win32ActionEscape);
    ::testing::internal::CaptureStderr();
    Run(IDD_FULL);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("disabled; the choice is ignored"), std::string::npos);
    EXPECT_EQ(received.size(), 2u);
    EXPECT_EQ(Control(LastDialog(Win32DialogAtEnd), IDC_LIST).selection, CB_ERR);
}

TEST_F(DialogControlsTest, MessageToTheDialogReturnsWhatItsProcedureReturns) {
    react = [](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EXPECT_EQ(SendMessageA(dialog, 0x0401, 3, 4), 7);
        }
        if (message == 0x0401) return static_cast<INT_PTR>(wParam) + lParam;
        return EndOnOkOrCancel(dialog, message, wParam, lParam);
    };
    Run(IDD_FULL);
    EXPECT_EQ(received[1].message, 0x0401u);
}

}  // namespace
