// Where a dialog and its controls go on the screen. Dialog units are mapped
// with the base units of the system font, 6 by 13 pixels, as MapDialogRect
// does: x pixels = MulDiv(x, 6, 4), y pixels = MulDiv(y, 13, 8).
#ifndef KORVANE_WIN32_DIALOG_LAYOUT_H
#define KORVANE_WIN32_DIALOG_LAYOUT_H

#include "DialogTemplate.h"

#include <windows.h>

namespace win32 {

constexpr LONG kModalFrameWidth = 3;
constexpr LONG kCaptionHeight = 19;

LONG HorizontalPixels(int dialogUnits);
LONG VerticalPixels(int dialogUnits);

// Offset of the client area inside a dialog window of this style.
LONG ClientLeftInset(DWORD style);
LONG ClientTopInset(DWORD style);

// The dialog window in screen coordinates: its template position is taken
// relative to `origin`, the owner's top-left corner (or the screen's).
RECT DialogWindowRect(const DialogTemplate &dialog, POINT origin);

// A control's rectangle relative to the dialog's client area.
RECT ControlRect(const DialogItemTemplate &item);

}  // namespace win32

#endif
