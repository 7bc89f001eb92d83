// The pnghost commands. Each returns the program's exit status.
#ifndef PNGHOST_COMMANDS_H
#define PNGHOST_COMMANDS_H

#include <string>
#include <vector>

#include "pnghost/PluginHost.h"

// 0 when every file is PNG, 1 when one is not, 2 when one cannot be checked.
int RunProbeCommand(HostSession *session, const std::vector<std::string> &files);
// The property list, one property a line: key, value length, value.
int RunPiplCommand(HostSession *session);
// Shows the about box and clicks it away.
int RunAboutCommand(HostSession *session);

#endif
