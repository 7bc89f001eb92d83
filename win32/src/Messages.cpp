#include "Messages.h"

#include "WindowRegistry.h"

namespace win32 {

INT_PTR CallDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const Window *found = LookUpWindow(dialog, WindowKind::Dialog);
    if (found == nullptr || found->dialog.procedure == nullptr) return 0;
    return found->dialog.procedure(dialog, message, wParam, lParam);
}

void SendDialogCommand(HWND dialog, int id, WORD code, HWND control) {
    CallDialogProcedure(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

}  // namespace win32
