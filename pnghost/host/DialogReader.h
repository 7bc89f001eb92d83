// Reading what a real Win32 dialog shows, with the calls a screen reader
// would use: window texts, check states, list entries, enabled states.
#ifndef PNGHOST_DIALOG_READER_H
#define PNGHOST_DIALOG_READER_H

#include <windows.h>

#include "pnghost/host/DialogViews.h"

DialogView ReadDialog(HWND dialog);
// A message box: its caption, and the text of its (non-icon) statics.
AlertView ReadAlert(HWND box);

#endif
