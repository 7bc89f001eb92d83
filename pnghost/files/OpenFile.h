// Opening a file into the host through the module, as the open and save
// commands and the viewer do.
#ifndef PNGHOST_OPEN_FILE_H
#define PNGHOST_OPEN_FILE_H

#include <cstdint>
#include <string>

#include "pnghost/host/Operations.h"
#include "pnghost/host/PluginHost.h"

// Opens the file and runs the module's read steps; the module's result in
// *result, or false when the file itself cannot be opened. What went wrong,
// with the file's name, in *problem.
bool OpenThroughModule(HostSession *session, const std::string &path, int16_t *result, std::string *problem);
// The exit status of an open that ended with result: 0, 1 when the module
// cannot read the file, 2 on other errors (an image too large for the host).
int OpenStatus(const HostSession &session, int16_t result);
// Opens a PNG file through the module into the host's image: 0 on success,
// 1 when the module cannot read the file, 2 on other errors, and then what
// went wrong, after the file's name, in *problem.
int OpenFile(HostSession *session, const std::string &path, std::string *problem);

#endif
