// Saving the host's image into a file through the module, replacing the file
// only by a complete save, as the save command and the viewer do.
#ifndef PNGHOST_SAVE_TO_FILE_H
#define PNGHOST_SAVE_TO_FILE_H

#include <string>

#include "pnghost/files/SafeSaveFile.h"
#include "pnghost/host/Operations.h"
#include "pnghost/host/PluginHost.h"

enum SaveStatus { kSaved = 0, kCancelled = 1, kSaveError = 2 };

// Runs the module's save steps into a save already begun, and puts the file
// in place. "saved" only once every byte is where it belongs.
int SaveIntoFile(HostSession *session, SaveFile *out, const SaveChoices &choices, std::string *report);
// Saves the host's image through the module to path, answering the options
// dialog with the choices, and replaces path only by a complete save: 0
// saved, 1 cancelled in the dialog, 2 on errors. What happened, after the
// file's name, in *report.
int SaveToFile(HostSession *session, const std::string &path, const SaveChoices &choices, std::string *report);

#endif
