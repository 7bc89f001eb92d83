// Opening and saving a file through the module, step by step, as the editor
// runs its open and save commands.
#ifndef PNGHOST_OPERATIONS_H
#define PNGHOST_OPERATIONS_H

#include "pnghost/PluginHost.h"

// Probes, then reads the file on the open descriptor into session->image.
// Returns the first non-zero result of the module's steps, or 0.
int16_t OpenWithModule(HostSession *session, int file);

// What the person chooses in the module's options dialog.
struct SaveChoices {
    bool interlace = false;
    bool writeFileInfo = false;
    bool bestSpeed = false;
    int filterEntry = -1;  // entry of the Filtering list, -1 leaves the default
    bool cancel = false;
};

// Saves session->image to the open descriptor, answering the options dialog
// with the choices. Returns the first non-zero result, or 0.
int16_t SaveWithModule(HostSession *session, int file, const SaveChoices &choices);

#endif
