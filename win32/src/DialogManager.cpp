// DialogBoxParamA: builds the dialog from its template, runs it modally with
// the queued actions of the person at the screen, and tears it down. It never
// waits: a dialog still open when the actions run out ends with -1.
#include "DialogInput.h"
#include "DialogLayout.h"
#include "DialogSnapshot.h"
#include "DialogTemplate.h"
#include "Messages.h"
#include "WindowRegistry.h"

#include <win32_layer.h>

#include <cstdio>
#include <string>

using win32::DialogTemplate;
using win32::LookUpWindow;
using win32::Window;
using win32::WindowKind;

namespace {

struct DialogHistory {
    Win32DialogState afterInit{};
    Win32DialogState atEnd{};
    bool hasAfterInit = false;
    bool hasAtEnd = false;
    size_t shown = 0;
};

DialogHistory &History() {
    static DialogHistory *history = new DialogHistory;
    return *history;
}

std::string TemplateLabel(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "template " + std::to_string(reinterpret_cast<uintptr_t>(name));
    return "template \"" + std::string(name) + "\"";
}

bool LoadDialogTemplate(HINSTANCE instance, LPCSTR name, DialogTemplate &dialog) {
    HRSRC resource = FindResourceA(instance, name, RT_DIALOG);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(instance, resource)));
    if (data == nullptr) {
        std::fprintf(stderr, "win32: DialogBoxParamA: module %p has no dialog %s\n", static_cast<void *>(instance),
                     TemplateLabel(name).c_str());
        return false;
    }
    std::string error;
    if (win32::ParseDialogTemplate(data, SizeofResource(instance, resource), dialog, error)) return true;
    std::fprintf(stderr, "win32: DialogBoxParamA: dialog %s: %s\n", TemplateLabel(name).c_str(), error.c_str());
    return false;
}

// The template's position counts from the owner's top-left, or the screen's.
POINT OriginFor(HWND owner) {
    const Window *found = LookUpWindow(owner);
    const RECT rect = found ? win32::ScreenRectOf(*found) : win32::ScreenRect();
    return POINT{rect.left, rect.top};
}

HWND CreateControl(const win32::DialogItemTemplate &item, HWND dialog) {
    Window control;
    control.kind = WindowKind::Control;
    control.parent = dialog;
    control.rect = win32::ControlRect(item);
    control.style = item.style;
    control.enabled = !(item.style & WS_DISABLED);
    control.text = item.text;
    control.control.id = item.id;
    control.control.className = item.className;
    return win32::RegisterWindow(control);
}

HWND CreateDialogWindows(const DialogTemplate &dialog, LPCSTR name, HWND owner, DLGPROC procedure) {
    Window window;
    window.kind = WindowKind::Dialog;
    window.parent = owner;
    window.rect = win32::DialogWindowRect(dialog, OriginFor(owner));
    window.clientLeft = win32::ClientLeftInset(dialog.style);
    window.clientTop = win32::ClientTopInset(dialog.style);
    window.style = dialog.style;
    window.text = dialog.caption;
    window.dialog.procedure = procedure;
    window.dialog.templateId = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<uintptr_t>(name)) : 0;
    window.dialog.templateName = TemplateLabel(name);
    const HWND handle = win32::RegisterWindow(window);
    Window *created = LookUpWindow(handle);
    for (const win32::DialogItemTemplate &item : dialog.items) created->dialog.controls.push_back(CreateControl(item, handle));
    return handle;
}

// The control that gets the focus first: the first enabled tab stop.
HWND FirstTabStop(const Window &dialog) {
    for (HWND handle : dialog.dialog.controls) {
        const Window *control = LookUpWindow(handle);
        if (control && (control->style & WS_TABSTOP) && control->enabled) return handle;
    }
    return nullptr;
}

// With nothing queued the person accepts the defaults with Enter.
void PlayUntilEnded(Window &dialog) {
    if (!win32::DialogActionsPending()) {
        win32::PlayDialogAction(dialog, win32::DialogAction{Win32ActionEnter, 0, 0});
        return;
    }
    win32::DialogAction action;
    while (!dialog.dialog.ended && win32::TakeDialogAction(action)) win32::PlayDialogAction(dialog, action);
}

void EndUnanswered(Window &dialog) {
    std::fprintf(stderr, "win32: the dialog \"%s\" (%s) was still open when the queued actions ran out; it ends with -1\n",
                 dialog.text.c_str(), dialog.dialog.templateName.c_str());
    dialog.dialog.endResult = -1;
}

// The owner is disabled while its modal dialog is up, and the dialog is the
// active window from the moment it shows, after WM_INITDIALOG.
INT_PTR RunModal(Window &dialog, LPARAM initParam) {
    const HWND owner = dialog.parent;
    const bool reenableOwner = LookUpWindow(owner) && !EnableWindow(owner, FALSE);
    const HWND previouslyActive = GetActiveWindow();
    win32::CallDialogProcedure(dialog.handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstTabStop(dialog)), initParam);
    win32::ActivateWindow(dialog.handle);
    History().afterInit = win32::SnapshotOf(dialog);
    History().hasAfterInit = true;
    if (!dialog.dialog.ended) PlayUntilEnded(dialog);
    if (!dialog.dialog.ended) EndUnanswered(dialog);
    History().atEnd = win32::SnapshotOf(dialog);
    History().hasAtEnd = true;
    if (reenableOwner) EnableWindow(owner, TRUE);
    win32::ActivateWindow(previouslyActive);
    return dialog.dialog.endResult;
}

}  // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM initParam) {
    if (owner != nullptr && LookUpWindow(owner) == nullptr) {
        std::fprintf(stderr, "win32: DialogBoxParamA: the owner %p is not a window\n", static_cast<void *>(owner));
        return -1;
    }
    // Owned by the desktop is owned by no one.
    if (win32::IsDesktopWindow(owner)) owner = nullptr;
    DialogTemplate dialog;
    if (templateName == nullptr || !LoadDialogTemplate(instance, templateName, dialog)) return -1;
    const HWND handle = CreateDialogWindows(dialog, templateName, owner, procedure);
    ++History().shown;
    const INT_PTR result = RunModal(*LookUpWindow(handle), initParam);
    win32::UnregisterWindow(handle);
    return result;
}

// The dialog closes when control returns to the dialog manager.
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Window *found = LookUpWindow(dialog, WindowKind::Dialog);
    if (found == nullptr) return FALSE;
    found->dialog.ended = true;
    found->dialog.endResult = result;
    return TRUE;
}

BOOL Win32GetLastDialog(Win32DialogMoment moment, Win32DialogState *state) {
    const bool atEnd = moment == Win32DialogAtEnd;
    if (state == nullptr || !(atEnd ? History().hasAtEnd : History().hasAfterInit)) return FALSE;
    *state = atEnd ? History().atEnd : History().afterInit;
    return TRUE;
}

size_t Win32DialogsShown(void) { return History().shown; }
