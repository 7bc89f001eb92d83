#include "DialogTestSupport.h"

namespace {

std::vector<Received> *g_received = nullptr;
Reaction *g_react = nullptr;

const int kFixtureControls[] = {IDOK,     IDCANCEL,    IDC_APPLY, IDC_CHECK_ONE, IDC_CHECK_TWO, IDC_GROUP, IDC_SLOW,
                                IDC_MEDIUM, IDC_FAST, IDC_OTHER, IDC_LABEL,     IDC_LIST,      IDC_SORTED};

int ControlNamed(HWND dialog, LPARAM lParam) {
    if (lParam == 0) return 0;
    for (int id : kFixtureControls)
        if (GetDlgItem(dialog, id) == reinterpret_cast<HWND>(lParam)) return id;
    return -999;
}

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const int control = message == WM_COMMAND ? ControlNamed(dialog, lParam) : 0;
    g_received->push_back(Received{message, wParam, lParam, control});
    return (*g_react)(dialog, message, wParam, lParam);
}

}  // namespace

INT_PTR EndOnOkOrCancel(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const char *item : {"None", "Sub", "Up"}) SendMessageA(GetDlgItem(dialog, IDC_LIST), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void DialogTest::SetUp() {
    Win32ClearDialogActions();
    g_received = &received;
    g_react = &react;
    ASSERT_NE(FixtureModule(), nullptr);
}

void DialogTest::TearDown() {
    Win32ClearDialogActions();
    g_received = nullptr;
    g_react = nullptr;
}

INT_PTR DialogTest::Run(LPCSTR name, HWND owner, LPARAM initParam) {
    return DialogBoxParamA(FixtureModule(), name, owner, RecordingProc, initParam);
}

Win32DialogState DialogTest::LastDialog(Win32DialogMoment moment) {
    Win32DialogState state{};
    EXPECT_TRUE(Win32GetLastDialog(moment, &state));
    return state;
}

const Win32ControlState &DialogTest::Control(const Win32DialogState &state, int id) {
    for (int i = 0; i < state.controlCount; ++i)
        if (state.controls[i].id == id) return state.controls[i];
    ADD_FAILURE() << "no control " << id;
    return state.controls[0];
}
