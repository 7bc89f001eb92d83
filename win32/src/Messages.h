// Delivering messages to a dialog's procedure.
#ifndef KORVANE_WIN32_MESSAGES_H
#define KORVANE_WIN32_MESSAGES_H

#include <windows.h>

namespace win32 {

// Calls the dialog's procedure; 0 when the handle is no dialog or it has none.
INT_PTR CallDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Tells the dialog's procedure that control id (handle control) sent the
// notification code, as WM_COMMAND does.
void SendDialogCommand(HWND dialog, int id, WORD code, HWND control);

}  // namespace win32

#endif
