#include "DialogInput.h"

#include "Controls.h"
#include "Messages.h"

#include <cstdio>
#include <string>

namespace win32 {

namespace {

void Note(const Window &dialog, const std::string &what) {
    std::fprintf(stderr, "win32: dialog \"%s\": %s\n", dialog.text.c_str(), what.c_str());
}

void SendCommand(const Window &dialog, int id, WORD code, HWND control) {
    CallDialogProcedure(dialog.handle, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

bool StartsGroup(HWND control) {
    const Window *found = LookUpWindow(control);
    return found && (found->style & WS_GROUP);
}

// Checks the radio button and unchecks the other automatic radio buttons of
// its group: the controls from the last one with WS_GROUP at or before it up
// to the next one with WS_GROUP.
void CheckInGroup(const Window &dialog, const Window &radio) {
    const std::vector<HWND> &controls = dialog.dialog.controls;
    size_t index = 0;
    while (index < controls.size() && controls[index] != radio.handle) ++index;
    size_t first = index;
    while (first > 0 && first < controls.size() && !StartsGroup(controls[first])) --first;
    for (size_t i = first; i < controls.size() && (i == first || !StartsGroup(controls[i])); ++i) {
        Window *member = LookUpWindow(controls[i]);
        if (member && ButtonType(*member) == BS_AUTORADIOBUTTON)
            member->control.checked = i == index ? BST_CHECKED : BST_UNCHECKED;
    }
}

// Automatic buttons change state before they tell the dialog.
void ToggleAutomaticButton(const Window &dialog, Window &button) {
    int &checked = button.control.checked;
    switch (ButtonType(button)) {
    case BS_AUTOCHECKBOX:
        checked = checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        checked = (checked + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        CheckInGroup(dialog, button);
        break;
    default:
        break;
    }
}

void Click(Window &dialog, int id) {
    Window *control = FindControl(dialog, id);
    if (control == nullptr) {
        Note(dialog, "there is no control " + std::to_string(id) + " to click");
        return;
    }
    ClickControl(*control);
}

void Select(Window &dialog, int id, int index) {
    Window *combo = FindControl(dialog, id);
    if (combo == nullptr || combo->control.className != "ComboBox") {
        Note(dialog, "there is no combo box " + std::to_string(id) + " to choose from");
        return;
    }
    if (!combo->enabled) {
        Note(dialog, "combo box " + std::to_string(id) + " is disabled; the choice is ignored");
        return;
    }
    if (index < 0 || static_cast<size_t>(index) >= combo->control.items.size()) {
        Note(dialog, "combo box " + std::to_string(id) + " has no entry " + std::to_string(index));
        return;
    }
    combo->control.selection = index;
    SendCommand(dialog, id, CBN_SELCHANGE, combo->handle);
}

// Enter presses the default push button, or stands for IDOK without one.
void PressEnter(const Window &dialog) {
    for (HWND handle : dialog.dialog.controls) {
        const Window *button = LookUpWindow(handle);
        if (button && ButtonType(*button) == BS_DEFPUSHBUTTON && button->enabled) {
            SendCommand(dialog, button->control.id, BN_CLICKED, handle);
            return;
        }
    }
    SendCommand(dialog, IDOK, BN_CLICKED, GetDlgItem(dialog.handle, IDOK));
}

void PressEscape(const Window &dialog) { SendCommand(dialog, IDCANCEL, BN_CLICKED, GetDlgItem(dialog.handle, IDCANCEL)); }

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

void ClickControl(Window &control) {
    Window *dialog = LookUpWindow(control.parent, WindowKind::Dialog);
    if (dialog == nullptr) return;
    if (!control.enabled) {
        Note(*dialog, "control " + std::to_string(control.control.id) + " is disabled; the click is ignored");
        return;
    }
    // Statics and group boxes let clicks through to the dialog.
    if (ButtonType(control) < 0 || ButtonType(control) == BS_GROUPBOX) return;
    ToggleAutomaticButton(*dialog, control);
    SendCommand(*dialog, control.control.id, BN_CLICKED, control.handle);
}

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
