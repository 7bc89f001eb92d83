// Questions and changes that apply to any window: parent, rectangle, enabled.
#include "WindowRegistry.h"

#include <windows.h>

using win32::LookUpWindow;
using win32::Window;

// A dialog's parent is its owner, a control's its dialog; the host window has
// none.
HWND WINAPI GetParent(HWND window) {
    const Window *found = LookUpWindow(window);
    return found ? found->parent : nullptr;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    const Window *found = LookUpWindow(window);
    if (found == nullptr || rect == nullptr) return FALSE;
    *rect = win32::ScreenRectOf(*found);
    return TRUE;
}

// Position in screen coordinates for top-level windows, relative to the
// dialog's client area for controls, as on Windows. There is nothing to paint,
// and the desktop stays where the screen is.
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    Window *found = LookUpWindow(window);
    if (found == nullptr || found->kind == win32::WindowKind::Desktop) return FALSE;
    found->rect = RECT{x, y, x + width, y + height};
    found->repaintRequested = repaint != FALSE;
    return TRUE;
}

// Nonzero when the window was disabled before the call.
BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window *found = LookUpWindow(window);
    if (found == nullptr) return FALSE;
    const bool wasDisabled = !found->enabled;
    found->enabled = enable != FALSE;
    found->style = found->enabled ? (found->style & ~WS_DISABLED) : (found->style | WS_DISABLED);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
    const Window *found = LookUpWindow(window);
    return found && found->enabled;
}
