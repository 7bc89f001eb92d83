// The desktop on Windows: a real top-level host window, and the person's
// plan and notes (see PersonWin32.cpp for the person at work).
#include <windows.h>

#include "pnghost/host/Desktop.h"
#include "pnghost/host/PersonWin32.h"

namespace {

const char kHostClass[] = "KorvaneHostWindow";

bool RegisterHostClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = kHostClass;
    registered = RegisterClassA(&windowClass) != 0;
    return registered;
}

}  // namespace

void ShowHostWindow(HostSession *session, int left, int top, int right, int bottom) {
    if (!RegisterHostClass()) return;
    HWND window = CreateWindowExA(0, kHostClass, "pnghost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top, right - left,
                                  bottom - top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return;
    // The editor's window is where the person works: the active window, and
    // so the parent the module's dialogs take.
    SetForegroundWindow(window);
    SetActiveWindow(window);
    session->hostWindow = window;
}

void CloseHostWindow(HostSession *session) {
    if (session->hostWindow == nullptr) return;
    DestroyWindow(static_cast<HWND>(session->hostWindow));
    session->hostWindow = nullptr;
}

void QueuePersonAction(PersonAction action, int controlId, int index) {
    Notes().plan.push_back(PlannedAction{action, controlId, index});
}

void ForgetPersonActions() { Notes().plan.clear(); }

void SetPersonPace(int milliseconds) { Notes().pace = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0; }

bool LastDialog(DialogView *view) {
    if (!Notes().sawDialog) return false;
    *view = Notes().lastDialog;
    return true;
}

size_t DialogsShown() { return Notes().dialogsShown; }

std::vector<AlertView> AlertsShown() { return Notes().alerts; }

void ForgetAlerts() { Notes().alerts.clear(); }
