// The pnghost commands. Each returns the program's exit status.
#ifndef PNGHOST_COMMANDS_H
#define PNGHOST_COMMANDS_H

#include <string>
#include <vector>

#include "pnghost/Operations.h"
#include "pnghost/PluginHost.h"

// 0 when every file is PNG, 1 when one is not, 2 when one cannot be checked.
int RunProbeCommand(HostSession *session, const std::vector<std::string> &files);
// The property list, one property a line: key, value length, value.
int RunPiplCommand(HostSession *session);
// Shows the about box and clicks it away.
int RunAboutCommand(HostSession *session);
// Opens a PNG file through the module into the host's image: 0 on success,
// 1 when the module cannot read the file, 2 on other errors.
int OpenFile(HostSession *session, const std::string &path);
// Opens a file and prints what the host received; writes it as PAM when
// pamPath is not empty.
int RunOpenCommand(HostSession *session, const std::string &path, const std::string &pamPath);
// Opens inPath through the module, then saves the image to outPath through it.
int RunSaveCommand(HostSession *session, const std::string &inPath, const std::string &outPath,
                   const SaveChoices &choices);

#endif
