// The person at the screen on Windows: a thread timer of the host that keeps
// firing inside the modal loops of the module's dialogs and of message boxes,
// finds the dialog in front and operates it through real Win32 messages.
#ifndef PNGHOST_PERSON_WIN32_H
#define PNGHOST_PERSON_WIN32_H

#include <windows.h>

#include <cstddef>
#include <deque>
#include <vector>

#include "pnghost/host/DialogViews.h"

struct PlannedAction {
    PersonAction action;
    int controlId;
    int index;
};

// What the person is to do, and what they noted of the dialogs and alerts.
struct PersonNotes {
    std::deque<PlannedAction> plan;
    DialogView lastDialog;
    bool sawDialog = false;
    size_t dialogsShown = 0;
    std::vector<AlertView> alerts;
    DWORD pace = 0;  // milliseconds the person looks before acting
};

// The person sits down at the screen when the host starts, on its main
// thread, and stays there.
PersonNotes &Notes();

// From now on a real person at the keyboard answers every dialog and alert:
// the host's own person stands up and acts no more.
void HandDialogsToPerson();

#endif
