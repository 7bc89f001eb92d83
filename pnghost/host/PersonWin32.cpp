#include "pnghost/host/PersonWin32.h"

#include <cstdio>
#include <string>

#include "pnghost/host/DialogReader.h"

namespace {

// How often the person looks at the screen, in milliseconds.
const UINT kGlance = 10;

struct Screen {
    HWND dialog = nullptr;  // the module dialog being operated
    HWND front = nullptr;   // the window in front, dialog or alert
    DWORD frontSince = 0;   // when the person first saw it
    bool acting = false;    // an action's messages are still being handled
};

Screen &TheScreen() {
    static Screen screen;
    return screen;
}

BOOL CALLBACK KeepFrontDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The dialog or message box the person can work with: a visible, enabled
// dialog window of this thread.
HWND FrontDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), KeepFrontDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Message boxes are dialogs run by USER32 itself; the module's dialogs run
// the module's own dialog procedures. A procedure in no module at all is a
// system thunk, so the system's too.
bool IsMessageBox(HWND dialog) {
    const LONG_PTR procedure = GetWindowLongPtrA(dialog, DWLP_DLGPROC);
    HMODULE owner = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(procedure), &owner))
        return true;
    return owner == GetModuleHandleA("user32.dll");
}

// Reads the alert, tells the person running the host, and presses OK.
void AnswerAlert(HWND box) {
    const AlertView alert = ReadAlert(box);
    std::string line = alert.text;
    for (char &c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "[%s] %s\n", alert.caption.c_str(), line.c_str());
    Notes().alerts.push_back(alert);
    HWND ok = GetDlgItem(box, IDOK);
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

// A person cannot work a disabled control; they note it and go on.
bool Usable(HWND control, int id, const char *kind, const char *what) {
    if (control == nullptr) return false;
    if (IsWindowEnabled(control)) return true;
    std::fprintf(stderr, "pnghost: dialog \"%s\": %s %d is disabled; the %s is ignored\n",
                 Notes().lastDialog.caption.c_str(), kind, id, what);
    return false;
}

void Click(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (Usable(control, id, "control", "click")) SendMessageA(control, BM_CLICK, 0, 0);
}

// Picks an entry as a mouse would: the list changes and tells the dialog.
void Select(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    if (!Usable(list, id, "combo box", "choice")) return;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Enter and Escape as the dialog manager turns them into commands: the
// default push button (IDOK when there is none), and IDCANCEL.
void PressKey(HWND dialog, bool enter) {
    int id = IDCANCEL;
    if (enter) {
        const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
    }
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && !IsWindowEnabled(button)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Play(HWND dialog, const PlannedAction &step) {
    switch (step.action) {
        case PersonAction::Click: Click(dialog, step.controlId); break;
        case PersonAction::Select: Select(dialog, step.controlId, step.index); break;
        case PersonAction::Enter: PressKey(dialog, true); break;
        case PersonAction::Escape: PressKey(dialog, false); break;
        case PersonAction::Close: SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case PersonAction::ClickBody:
            // Near the top-left corner of the client area, where no control sits.
            SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
            SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
            break;
    }
}

void WalkAway(HWND dialog) {
    std::fprintf(stderr, "pnghost: the dialog \"%s\" was still open when the person's actions ran out; it ends with -1\n",
                 Notes().lastDialog.caption.c_str());
    Notes().lastDialog.leftOpen = true;
    EndDialog(dialog, -1);
}

// One step with the module's dialog: a first look, then the planned actions
// one at a time, so that each is handled before the next.
void OperateDialog(HWND dialog) {
    PersonNotes &notes = Notes();
    Screen &screen = TheScreen();
    if (dialog != screen.dialog) {
        screen.dialog = dialog;
        notes.lastDialog = ReadDialog(dialog);
        notes.sawDialog = true;
        ++notes.dialogsShown;
        if (notes.plan.empty()) {
            Play(dialog, PlannedAction{PersonAction::Enter, 0, 0});
            return;
        }
    }
    if (notes.plan.empty()) {
        WalkAway(dialog);
        return;
    }
    const PlannedAction step = notes.plan.front();
    notes.plan.pop_front();
    Play(dialog, step);
}

void CALLBACK Glance(HWND, UINT, UINT_PTR, DWORD) {
    Screen &screen = TheScreen();
    if (screen.acting) return;
    HWND dialog = FrontDialog();
    if (dialog == nullptr) return;
    if (dialog != screen.front) {
        screen.front = dialog;
        screen.frontSince = GetTickCount();
    }
    if (GetTickCount() - screen.frontSince < Notes().pace) return;
    screen.acting = true;
    if (IsMessageBox(dialog)) AnswerAlert(dialog);
    else OperateDialog(dialog);
    screen.acting = false;
}

// The person takes a seat as the host starts.
const UINT_PTR kPersonTimer = SetTimer(nullptr, 0, kGlance, Glance);

}  // namespace

PersonNotes &Notes() {
    static PersonNotes notes;
    return notes;
}

void HandDialogsToPerson() { KillTimer(nullptr, kPersonTimer); }
