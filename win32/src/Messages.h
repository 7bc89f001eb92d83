// Delivering messages to a dialog's procedure.
#ifndef KORVANE_WIN32_MESSAGES_H
#define KORVANE_WIN32_MESSAGES_H

#include <windows.h>

namespace win32 {

// Calls the dialog's procedure; 0 when the handle is no dialog or it has none.
INT_PTR CallDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32

#endif
