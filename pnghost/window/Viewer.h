// The viewer window, pnghost.exe view; on Linux only its refusal.
#ifndef PNGHOST_VIEWER_H
#define PNGHOST_VIEWER_H

#include <string>

#include "pnghost/host/PluginHost.h"

// What `view` is asked to show, and the window's own fault for tests.
struct ViewRequest {
    std::string path;  // opened first unless empty
    // Once the zoom changes, the window hands the system pictures it refuses
    // to draw, so that every paint of the image fails.
    bool failPaints = false;
};

// Shows the host's image in a window of its own; the person at the keyboard
// opens, saves and answers the module's dialogs. Returns when the window
// closes: 0, or 2 when there is no window to show (ViewerAvailable() is
// false).
int RunViewCommand(HostSession *session, const ViewRequest &request);
bool ViewerAvailable();

#endif
