// The host's window and the person at the module's dialogs. On Linux the
// Win32 layer plays the person from a queue of actions; on Windows a timer
// of the host's own finds the real dialogs and plays the same queue. This is
// the only part of the host that knows which.
#ifndef PNGHOST_DESKTOP_H
#define PNGHOST_DESKTOP_H

#include <cstddef>
#include <string>
#include <vector>

#include "pnghost/host/DialogViews.h"
#include "pnghost/host/PluginHost.h"

// Opens the host's main window at the given screen rectangle and makes it the
// active window, the parent of the module's dialogs.
void ShowHostWindow(HostSession *session, int left, int top, int right, int bottom);
void CloseHostWindow(HostSession *session);

// What the person will do in the next dialog, in order. With nothing queued
// when a dialog opens, the person presses Enter; a dialog still open when the
// actions run out is ended with -1, as if the person walked away.
void QueuePersonAction(PersonAction action, int controlId = 0, int index = 0);
void ForgetPersonActions();
// How long the person looks at each dialog or alert before acting, so that
// it can be seen or photographed; 0, the default, acts at once. Only a real
// screen shows anything: on Linux it changes nothing.
void SetPersonPace(int milliseconds);

// The module's last dialog; false when it has shown none.
bool LastDialog(DialogView *view);
// The number of module dialogs shown so far.
size_t DialogsShown();
// The texts the last dialog showed, one per control, as a person read them.
std::vector<std::string> LastDialogTexts();

// The alerts shown while the module ran, as the person read them.
std::vector<AlertView> AlertsShown();
void ForgetAlerts();

#endif
