// The desktop on Linux: the Win32 layer's host window, its dialog manager
// playing the person's actions, and its records of dialogs and alerts.
#include "pnghost/host/Desktop.h"

#include "win32_layer.h"

namespace {

ControlView ViewOf(const Win32ControlState &state) {
    ControlView control;
    control.id = state.id;
    control.className = state.className;
    control.text = state.text;
    control.enabled = state.enabled != FALSE;
    control.checked = state.checked;
    for (int i = 0; i < state.itemCount && i < kWin32MaxItems; ++i) control.items.push_back(state.items[i]);
    control.selection = state.selection;
    return control;
}

}  // namespace

void ShowHostWindow(HostSession *session, int left, int top, int right, int bottom) {
    const RECT rect{left, top, right, bottom};
    HWND window = Win32CreateHostWindow(&rect);
    Win32SetActiveWindow(window);
    session->hostWindow = window;
}

void CloseHostWindow(HostSession *session) {
    if (session->hostWindow == nullptr) return;
    Win32SetActiveWindow(nullptr);
    Win32DestroyHostWindow(static_cast<HWND>(session->hostWindow));
    session->hostWindow = nullptr;
}

void QueuePersonAction(PersonAction action, int controlId, int index) {
    static const Win32DialogActionKind kKinds[] = {Win32ActionClick,  Win32ActionSelect, Win32ActionEnter,
                                                   Win32ActionEscape, Win32ActionClose,  Win32ActionClickBody};
    Win32QueueDialogAction(kKinds[static_cast<int>(action)], controlId, index);
}

void ForgetPersonActions() { Win32ClearDialogActions(); }

void SetPersonPace(int) {}

bool LastDialog(DialogView *view) {
    Win32DialogState seen{};
    Win32DialogState end{};
    if (!Win32GetLastDialog(Win32DialogAfterInit, &seen) || !Win32GetLastDialog(Win32DialogAtEnd, &end)) return false;
    *view = DialogView{};
    view->caption = seen.caption;
    view->owner = seen.owner;
    view->left = seen.rect.left;
    view->top = seen.rect.top;
    view->right = seen.rect.right;
    view->bottom = seen.rect.bottom;
    for (int i = 0; i < seen.controlCount && i < kWin32MaxControls; ++i) view->controls.push_back(ViewOf(seen.controls[i]));
    // The layer ends a dialog left open with -1 without marking it ended.
    view->leftOpen = !end.ended;
    return true;
}

size_t DialogsShown() { return Win32DialogsShown(); }

std::vector<AlertView> AlertsShown() {
    std::vector<AlertView> alerts;
    for (size_t i = 0; i < Win32AlertCount(); ++i) {
        Win32Alert alert{};
        if (Win32GetAlert(i, &alert)) alerts.push_back(AlertView{alert.caption, alert.text});
    }
    return alerts;
}

void ForgetAlerts() { Win32ClearAlerts(); }
