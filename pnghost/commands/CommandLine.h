// Reading pnghost's command line: the command, its files, and the options
// that set up the host, answer the module's dialog or ask for output.
#ifndef PNGHOST_COMMAND_LINE_H
#define PNGHOST_COMMAND_LINE_H

#include <string>
#include <vector>

#include "pnghost/commands/Commands.h"
#include "pnghost/host/PluginHost.h"
#include "pnghost/window/Viewer.h"

struct Command {
    std::string name;
    std::vector<std::string> operands;
    OpenRequest open;
    SaveRequest save;
    ViewRequest view;
    HostFaults faults;
    bool monitorGammaSet = false;
    HostFixed monitorGamma = 0;
    uint32_t hostSignature = HOST_FOURCC('8', 'B', 'I', 'M');
};

bool KnownCommand(const std::string &name);
// Reads the words after the command name; an empty string when they make
// sense, else what is wrong.
std::string ParseCommand(const std::vector<std::string> &words, Command *command);

#endif
