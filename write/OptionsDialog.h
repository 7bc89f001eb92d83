#ifndef KORVANE_OPTIONS_DIALOG_H
#define KORVANE_OPTIONS_DIALOG_H

#include "plugin/PluginState.h"

// Shows the "PNG Options" dialog. OK copies the choices into the save
// options; Cancel, or a dialog that cannot be shown, records 1.
void RunOptionsDialog(PluginState &state);

#endif
