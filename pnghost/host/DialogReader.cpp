#include "pnghost/host/DialogReader.h"

namespace {

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<std::string> ComboItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[256] = "";
        const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length >= 0 && length < static_cast<LRESULT>(sizeof item))
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

ControlView ReadControl(HWND window) {
    ControlView control;
    // Template ids are 16-bit: IDC_STATIC reads back as 0xFFFF.
    control.id = static_cast<int16_t>(GetDlgCtrlID(window));
    control.className = ClassOf(window);
    control.text = WindowText(window);
    control.enabled = IsWindowEnabled(window) != FALSE;
    if (lstrcmpiA(control.className.c_str(), "Button") == 0)
        control.checked = static_cast<int>(SendMessageA(window, BM_GETCHECK, 0, 0));
    if (lstrcmpiA(control.className.c_str(), "ComboBox") == 0) {
        control.items = ComboItems(window);
        control.selection = static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0));
        control.text.clear();  // the selection's text, already in items
    }
    return control;
}

bool IsIcon(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON; }

}  // namespace

DialogView ReadDialog(HWND dialog) {
    DialogView view;
    view.caption = WindowText(dialog);
    view.owner = GetWindow(dialog, GW_OWNER);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    view.left = rect.left;
    view.top = rect.top;
    view.right = rect.right;
    view.bottom = rect.bottom;
    // Children in z-order, which for a dialog is the template's order.
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        view.controls.push_back(ReadControl(child));
    return view;
}

AlertView ReadAlert(HWND box) {
    AlertView alert;
    alert.caption = WindowText(box);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0 || IsIcon(child)) continue;
        const std::string text = WindowText(child);
        if (text.empty()) continue;
        if (!alert.text.empty()) alert.text += "\n";
        alert.text += text;
    }
    return alert;
}
