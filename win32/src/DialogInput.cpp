#include "DialogInput.h"

#include "Controls.h"
#include "Messages.h"

#include <string>

namespace win32 {

namespace {

void Click(Window &dialog, int id) {
    Window *control = FindControl(dialog, id);
    if (control == nullptr) {
        NoteOnDialog(dialog, "there is no control " + std::to_string(id) + " to click");
        return;
    }
    ClickControl(*control);
}

void Select(Window &dialog, int id, int index) {
    Window *combo = FindControl(dialog, id);
    if (combo == nullptr || combo->control.className != "ComboBox") {
        NoteOnDialog(dialog, "there is no combo box " + std::to_string(id) + " to choose from");
        return;
    }
    if (!combo->enabled) {
        NoteOnDialog(dialog, "combo box " + std::to_string(id) + " is disabled; the choice is ignored");
        return;
    }
    if (index < 0 || static_cast<size_t>(index) >= combo->control.items.size()) {
        NoteOnDialog(dialog, "combo box " + std::to_string(id) + " has no entry " + std::to_string(index));
        return;
    }
    combo->control.selection = index;
    SendDialogCommand(dialog.handle, id, CBN_SELCHANGE, combo->handle);
}

// Enter presses the default push button, or stands for IDOK without one.
void PressEnter(const Window &dialog) {
    for (HWND handle : dialog.dialog.controls) {
        const Window *button = LookUpWindow(handle);
        if (button && ButtonType(*button) == BS_DEFPUSHBUTTON && button->enabled) {
            SendDialogCommand(dialog.handle, button->control.id, BN_CLICKED, handle);
            return;
        }
    }
    SendDialogCommand(dialog.handle, IDOK, BN_CLICKED, GetDlgItem(dialog.handle, IDOK));
}

void PressEscape(const Window &dialog) {
    SendDialogCommand(dialog.handle, IDCANCEL, BN_CLICKED, GetDlgItem(dialog.handle, IDCANCEL));
}

// A dialog procedure that leaves WM_CLOSE alone gets the default handling:
// the Cancel command.
void CloseBox(const Window &dialog) {
    if (CallDialogProcedure(dialog.handle, WM_CLOSE, 0, 0) == 0) PressEscape(dialog);
}

bool IsOverControl(const Window &dialog, LONG x, LONG y) {
    for (HWND handle : dialog.dialog.controls) {
        const Window *control = LookUpWindow(handle);
        if (control == nullptr) continue;
        const RECT &r = control->rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
    return false;
}

// A point of the client area that no control covers, near its top-left.
POINT FreeClientPoint(const Window &dialog) {
    const LONG width = dialog.rect.right - dialog.rect.left - 2 * dialog.clientLeft;
    const LONG height = dialog.rect.bottom - dialog.rect.top - dialog.clientTop - dialog.clientLeft;
    for (LONG y = 1; y < height; ++y)
        for (LONG x = 1; x < width; ++x)
            if (!IsOverControl(dialog, x, y)) return POINT{x, y};
    return POINT{1, 1};
}

void ClickBody(const Window &dialog) {
    const POINT point = FreeClientPoint(dialog);
    CallDialogProcedure(dialog.handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

}  // namespace

void PlayDialogAction(Window &dialog, const DialogAction &action) {
    switch (action.kind) {
    case Win32ActionClick:
        Click(dialog, action.controlId);
        break;
    case Win32ActionSelect:
        Select(dialog, action.controlId, action.index);
        break;
    case Win32ActionEnter:
        PressEnter(dialog);
        break;
    case Win32ActionEscape:
        PressEscape(dialog);
        break;
    case Win32ActionClose:
        CloseBox(dialog);
        break;
    case Win32ActionClickBody:
        ClickBody(dialog);
        break;
    }
}

}  // namespace win32
