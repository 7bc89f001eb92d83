#include "Controls.h"

#include "Messages.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

namespace win32 {

namespace {

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

bool HasCheckState(long type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

bool IsThreeState(long type) { return type == BS_3STATE || type == BS_AUTO3STATE; }

LRESULT ButtonMessage(Window &button, UINT message, WPARAM wParam) {
    const long type = ButtonType(button);
    switch (message) {
    case BM_GETCHECK:
        return button.control.checked;
    case BM_SETCHECK:
        if (HasCheckState(type))
            button.control.checked = IsThreeState(type) && wParam > BST_CHECKED ? 2 : (wParam ? BST_CHECKED : BST_UNCHECKED);
        return 0;
    case BM_CLICK:
        ClickControl(button);
        return 0;
    default:
        return 0;
    }
}

bool IsItemIndex(const ControlData &combo, WPARAM index) { return index < combo.items.size(); }

// Where CB_ADDSTRING puts a string: at the end, or in order for CBS_SORT,
// which compares without regard to letter case.
size_t AddPosition(const Window &combo, const char *text) {
    const std::vector<std::string> &items = combo.control.items;
    if (!(combo.style & CBS_SORT)) return items.size();
    size_t position = 0;
    while (position < items.size() && strcasecmp(items[position].c_str(), text) <= 0) ++position;
    return position;
}

// The selection stays on the same entry when one is inserted before it.
LRESULT InsertItem(ControlData &combo, size_t index, LPARAM text) {
    if (text == 0 || index > combo.items.size()) return CB_ERR;
    combo.items.insert(combo.items.begin() + static_cast<long>(index), reinterpret_cast<const char *>(text));
    if (combo.selection != CB_ERR && static_cast<size_t>(combo.selection) >= index) ++combo.selection;
    return static_cast<LRESULT>(index);
}

LRESULT ComboMessage(Window &combo, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlData &data = combo.control;
    switch (message) {
    case CB_ADDSTRING:
        return lParam ? InsertItem(data, AddPosition(combo, reinterpret_cast<const char *>(lParam)), lParam) : CB_ERR;
    case CB_INSERTSTRING:
        return InsertItem(data, static_cast<int>(wParam) == -1 ? data.items.size() : wParam, lParam);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(data.items.size());
    case CB_GETCURSEL:
        return data.selection;
    case CB_SETCURSEL:
        data.selection = IsItemIndex(data, wParam) ? static_cast<int>(wParam) : CB_ERR;
        return data.selection;
    case CB_GETLBTEXTLEN:
        return IsItemIndex(data, wParam) ? static_cast<LRESULT>(data.items[wParam].size()) : CB_ERR;
    case CB_GETLBTEXT:
        if (!IsItemIndex(data, wParam) || lParam == 0) return CB_ERR;
        std::strcpy(reinterpret_cast<char *>(lParam), data.items[wParam].c_str());
        return static_cast<LRESULT>(data.items[wParam].size());
    case CB_RESETCONTENT:
        data.items.clear();
        data.selection = CB_ERR;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

Window *FindControl(const Window &dialog, int id) {
    for (HWND handle : dialog.dialog.controls) {
        Window *control = LookUpWindow(handle);
        if (control && static_cast<WORD>(control->control.id) == static_cast<WORD>(id)) return control;
    }
    return nullptr;
}

long ButtonType(const Window &control) {
    return control.control.className == "Button" ? static_cast<long>(control.style & BS_TYPEMASK) : -1;
}

void ClickControl(Window &control) {
    Window *dialog = LookUpWindow(control.parent, WindowKind::Dialog);
    if (dialog == nullptr) return;
    if (!control.enabled) {
        NoteOnDialog(*dialog, "control " + std::to_string(control.control.id) + " is disabled; the click is ignored");
        return;
    }
    // Statics and group boxes let clicks through to the dialog.
    if (ButtonType(control) < 0 || ButtonType(control) == BS_GROUPBOX) return;
    ToggleAutomaticButton(*dialog, control);
    SendDialogCommand(dialog->handle, control.control.id, BN_CLICKED, control.handle);
}

void NoteOnDialog(const Window &dialog, const std::string &what) {
    std::fprintf(stderr, "win32: dialog \"%s\": %s\n", dialog.text.c_str(), what.c_str());
}

LRESULT ControlMessage(Window &control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (control.control.className == "Button") return ButtonMessage(control, message, wParam);
    if (control.control.className == "ComboBox") return ComboMessage(control, message, wParam, lParam);
    return 0;
}

}  // namespace win32

using win32::LookUpWindow;
using win32::Window;
using win32::WindowKind;

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    const Window *found = LookUpWindow(dialog, WindowKind::Dialog);
    const Window *control = found ? win32::FindControl(*found, id) : nullptr;
    return control ? control->handle : nullptr;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    return button ? static_cast<UINT>(SendMessageA(button, BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    const Window *found = LookUpWindow(dialog, WindowKind::Dialog);
    if (found == nullptr) return FALSE;
    for (HWND handle : found->dialog.controls) {
        const Window *control = LookUpWindow(handle);
        const int id = control ? control->control.id : 0;
        if (control && id >= firstId && id <= lastId) SendMessageA(handle, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

// A dialog answers with its procedure's result; a control by its class. The
// host window stands for a window of the host's and answers nothing.
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    win32::Window *found = win32::LookUpWindow(window);
    if (found == nullptr) return 0;
    switch (found->kind) {
    case win32::WindowKind::Dialog:
        return win32::CallDialogProcedure(window, message, wParam, lParam);
    case win32::WindowKind::Control:
        return win32::ControlMessage(*found, message, wParam, lParam);
    default:
        return 0;
    }
}
