#include "pnghost/Desktop.h"

#include "win32_layer.h"

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

std::vector<std::string> LastDialogTexts() {
    std::vector<std::string> texts;
    Win32DialogState dialog{};
    if (!Win32GetLastDialog(Win32DialogAfterInit, &dialog)) return texts;
    for (int i = 0; i < dialog.controlCount; ++i)
        if (dialog.controls[i].text[0] != '\0') texts.push_back(dialog.controls[i].text);
    return texts;
}
