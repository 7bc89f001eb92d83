// The windows that exist: the host's window, dialogs and their controls. An
// HWND is an opaque serial number, never reused and never dereferenced, so a
// stale or made-up handle is recognised and refused.
#ifndef KORVANE_WIN32_WINDOW_REGISTRY_H
#define KORVANE_WIN32_WINDOW_REGISTRY_H

#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

enum class WindowKind { Desktop, Host, Dialog, Control };

struct ControlData {
    int id = 0;
    std::string className;  // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox", or the template's
    int checked = BST_UNCHECKED;
    std::vector<std::string> items;  // combo box entries
    int selection = CB_ERR;
};

struct DialogData {
    DLGPROC procedure = nullptr;
    std::vector<HWND> controls;  // in template order
    int templateId = 0;          // 0 when the template has a string name
    std::string templateName;    // for notes on stderr
    bool ended = false;
    INT_PTR endResult = 0;
};

struct Window {
    WindowKind kind = WindowKind::Host;
    HWND handle = nullptr;
    HWND parent = nullptr;  // a dialog's owner, a control's dialog
    // Screen coordinates for top-level windows; for a control, relative to
    // its dialog's client area.
    RECT rect{};
    // Where the client area starts inside the window: frame and caption.
    LONG clientLeft = 0;
    LONG clientTop = 0;
    DWORD style = 0;
    bool enabled = true;
    bool repaintRequested = false;
    std::string text;
    ControlData control;
    DialogData dialog;
};

// Registers the window and returns its new handle.
HWND RegisterWindow(Window window);
// The window, or null when the handle is not a live window (of that kind).
Window *LookUpWindow(HWND handle);
Window *LookUpWindow(HWND handle, WindowKind kind);
// Removes the window and, for a dialog, its controls.
void UnregisterWindow(HWND handle);

// The window's rectangle in screen coordinates.
RECT ScreenRectOf(const Window &window);

// The screen and the active window (Desktop.cpp).
RECT ScreenRect();
bool IsDesktopWindow(HWND window);
void ActivateWindow(HWND window);

}  // namespace win32

#endif
