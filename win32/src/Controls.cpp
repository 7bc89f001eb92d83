#include "Controls.h"

#include "DialogInput.h"

#include <strings.h>

#include <cstring>

namespace win32 {

namespace {

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
