// What a dialog looks like to the person, for the test host.
#ifndef KORVANE_WIN32_DIALOG_SNAPSHOT_H
#define KORVANE_WIN32_DIALOG_SNAPSHOT_H

#include "WindowRegistry.h"

#include <win32_layer.h>

namespace win32 {

Win32DialogState SnapshotOf(const Window &dialog);

}  // namespace win32

#endif
