// The controls of a dialog, the messages they answer and what a click does;
// SendMessageA, which hands a message to a dialog or a control.
#ifndef KORVANE_WIN32_CONTROLS_H
#define KORVANE_WIN32_CONTROLS_H

#include "WindowRegistry.h"

#include <string>

namespace win32 {

// The control of the dialog with this id (compared as the template's WORD).
Window *FindControl(const Window &dialog, int id);

// BS_PUSHBUTTON, BS_AUTOCHECKBOX, ...; -1 for controls that are not buttons.
long ButtonType(const Window &control);

// A message sent to a control with SendMessageA.
LRESULT ControlMessage(Window &control, UINT message, WPARAM wParam, LPARAM lParam);

// A mouse click on a control (or BM_CLICK); disabled controls ignore it.
void ClickControl(Window &control);

// A note on stderr about what the person did to the dialog and could not.
void NoteOnDialog(const Window &dialog, const std::string &what);

}  // namespace win32

#endif
