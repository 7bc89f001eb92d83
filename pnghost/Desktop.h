// The host's window and the person at the module's dialogs. On Linux the
// Win32 layer plays the person from a queue of actions; this is the only
// part of the host that talks to it.
#ifndef PNGHOST_DESKTOP_H
#define PNGHOST_DESKTOP_H

#include <string>
#include <vector>

#include "pnghost/PluginHost.h"

enum class PersonAction { Click, Select, Enter, Escape, Close, ClickBody };

// Opens the host's main window at the given screen rectangle and makes it the
// active window, the parent of the module's dialogs.
void ShowHostWindow(HostSession *session, int left, int top, int right, int bottom);
void CloseHostWindow(HostSession *session);

// What the person will do in the next dialog, in order.
void QueuePersonAction(PersonAction action, int controlId = 0, int index = 0);
void ForgetPersonActions();

// The texts the last dialog showed, one per control, as a person read them.
std::vector<std::string> LastDialogTexts();

#endif
