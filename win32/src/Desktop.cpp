// The screen, the host's main window and which window is active: what the
// test host sets up before the module opens a dialog.
#include "WindowRegistry.h"

#include <win32_layer.h>

namespace {

struct Desktop {
    RECT screen{0, 0, 1024, 768};
    HWND active = nullptr;
    HWND window = nullptr;  // made when first asked for
};

Desktop &TheDesktop() {
    static Desktop *desktop = new Desktop;
    return *desktop;
}

}  // namespace

namespace win32 {

RECT ScreenRect() { return TheDesktop().screen; }

void ActivateWindow(HWND window) { TheDesktop().active = window; }

bool IsDesktopWindow(HWND window) { return window != nullptr && window == TheDesktop().window; }

}  // namespace win32

void Win32SetScreenRect(const RECT *rect) {
    if (rect) TheDesktop().screen = *rect;
}

HWND Win32CreateHostWindow(const RECT *rect) {
    win32::Window window;
    window.kind = win32::WindowKind::Host;
    window.style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
    if (rect) window.rect = *rect;
    return win32::RegisterWindow(window);
}

void Win32DestroyHostWindow(HWND window) {
    if (win32::LookUpWindow(window, win32::WindowKind::Host) == nullptr) return;
    win32::UnregisterWindow(window);
    if (TheDesktop().active == window) TheDesktop().active = nullptr;
}

void Win32SetActiveWindow(HWND window) { TheDesktop().active = window; }

// The window covering the screen, whose rectangle is the screen's.
HWND WINAPI GetDesktopWindow(void) {
    if (TheDesktop().window == nullptr) {
        win32::Window desktop;
        desktop.kind = win32::WindowKind::Desktop;
        desktop.style = WS_POPUP | WS_VISIBLE;
        TheDesktop().window = win32::RegisterWindow(desktop);
    }
    return TheDesktop().window;
}

HWND WINAPI GetActiveWindow(void) {
    const HWND active = TheDesktop().active;
    return win32::LookUpWindow(active) ? active : nullptr;
}
