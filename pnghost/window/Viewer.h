// The viewer window, pnghost.exe view; on Linux only its refusal.
#ifndef PNGHOST_VIEWER_H
#define PNGHOST_VIEWER_H

#include <string>

#include "pnghost/host/PluginHost.h"

// Shows the host's image in a window of its own, opening path first unless it
// is empty; the person at the keyboard opens, saves and answers the module's
// dialogs. Returns when the window closes: 0, or 2 when there is no window
// to show (ViewerAvailable() is false).
int RunViewCommand(HostSession *session, const std::string &path);
bool ViewerAvailable();

#endif
