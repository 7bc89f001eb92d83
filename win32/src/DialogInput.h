// The person at the dialogs: the actions queued by the test host, and what
// each does to a dialog, as mouse and keyboard would on Windows.
#ifndef KORVANE_WIN32_DIALOG_INPUT_H
#define KORVANE_WIN32_DIALOG_INPUT_H

#include "WindowRegistry.h"

#include <win32_layer.h>

namespace win32 {

struct DialogAction {
    Win32DialogActionKind kind = Win32ActionEnter;
    int controlId = 0;
    int index = 0;
};

// The queue (DialogActionQueue.cpp): takes the oldest action; false if none.
bool TakeDialogAction(DialogAction &action);
bool DialogActionsPending();

void PlayDialogAction(Window &dialog, const DialogAction &action);

}  // namespace win32

#endif
