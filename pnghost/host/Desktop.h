// The host's window and the person at the module's dialogs. On Linux the
// Win32 layer plays the person from a queue of actions; on Windows a timer
// of the host's own finds the real dialogs and plays the same queue. This is
// the only part of the host that knows which.
#ifndef PNGHOST_DESKTOP_H
#define PNGHOST_DESKTOP_H

#include <cstddef>
#include <string>
#include <vector>

#include "pnghost/host/PluginHost.h"

enum class PersonAction { Click, Select, Enter, Escape, Close, ClickBody };

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

// One control of a dialog, as the person saw it.
struct ControlView {
    int id = 0;
    std::string className;  // "Button", "Static", "ComboBox", ...
    std::string text;
    bool enabled = false;
    int checked = 0;                 // BST_* of a button
    std::vector<std::string> items;  // a combo box's entries
    int selection = -1;              // the chosen entry, -1 for none
};

// A module dialog as the person first saw it, just after it was set up.
struct DialogView {
    std::string caption;
    void *owner = nullptr;
    int left = 0, top = 0, right = 0, bottom = 0;  // the whole window, on the screen
    std::vector<ControlView> controls;
    bool leftOpen = false;  // the person's actions ran out before it closed
};

// The module's last dialog; false when it has shown none.
bool LastDialog(DialogView *view);
// The number of module dialogs shown so far.
size_t DialogsShown();
// The texts the last dialog showed, one per control, as a person read them.
std::vector<std::string> LastDialogTexts();

// An alert (message box) shown while the module ran, as the person read it
// before pressing OK.
struct AlertView {
    std::string caption;
    std::string text;
};
std::vector<AlertView> AlertsShown();
void ForgetAlerts();

#endif
