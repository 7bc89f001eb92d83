#include "write/CenterDialog.h"

void CenterDialogOnParent(HWND dialog) {
    HWND parent = GetParent(dialog);
    if (parent == nullptr) parent = GetDesktopWindow();
    RECT dialogRect{};
    RECT parentRect{};
    GetWindowRect(dialog, &dialogRect);
    GetWindowRect(parent, &parentRect);

    const LONG width = dialogRect.right - dialogRect.left;
    const LONG height = dialogRect.bottom - dialogRect.top;
    LONG x = (parentRect.left + parentRect.right) / 2 - width / 2;
    LONG y = (parentRect.top + parentRect.bottom) / 2 - height / 2;
    if (x <= 0) x = 0;
    if (y <= 0) y = 0;
    MoveWindow(dialog, x, y, width, height, FALSE);
}
