#include "Messages.h"

#include "Controls.h"
#include "WindowRegistry.h"

namespace win32 {

INT_PTR CallDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const Window *found = LookUpWindow(dialog, WindowKind::Dialog);
    if (found == nullptr || found->dialog.procedure == nullptr) return 0;
    return found->dialog.procedure(dialog, message, wParam, lParam);
}

}  // namespace win32

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
