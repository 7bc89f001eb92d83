// The controls of a dialog and the messages they answer.
#ifndef KORVANE_WIN32_CONTROLS_H
#define KORVANE_WIN32_CONTROLS_H

#include "WindowRegistry.h"

namespace win32 {

// The control of the dialog with this id (compared as the template's WORD).
Window *FindControl(const Window &dialog, int id);

// BS_PUSHBUTTON, BS_AUTOCHECKBOX, ...; -1 for controls that are not buttons.
long ButtonType(const Window &control);

// A message sent to a control with SendMessageA.
LRESULT ControlMessage(Window &control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32

#endif
