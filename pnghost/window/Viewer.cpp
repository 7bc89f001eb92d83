// The viewer on Linux: the Win32 layer has no screen to show a window on.
#include <cstdio>

#include "pnghost/window/Viewer.h"

bool ViewerAvailable() { return false; }

int RunViewCommand(HostSession *, const ViewRequest &) {
    std::fprintf(stderr, "pnghost: view shows a window, which only the Windows build (pnghost.exe) has\n");
    return 2;
}
