#ifndef KORVANE_CENTER_DIALOG_H
#define KORVANE_CENTER_DIALOG_H

#include <windows.h>

// Places a dialog over the centre of its parent window (of the screen when
// it has none), never left of or above the screen's origin, size unchanged.
void CenterDialogOnParent(HWND dialog);

#endif
