// The pnghost commands. Each returns the program's exit status.
#ifndef PNGHOST_COMMANDS_H
#define PNGHOST_COMMANDS_H

#include <string>
#include <vector>

#include "pnghost/formats/FileInfoResource.h"
#include "pnghost/host/Operations.h"
#include "pnghost/host/PluginHost.h"

// What `open` is asked to write and print besides opening.
struct OpenRequest {
    std::string path;
    std::string outPath;      // the planes as netpbm
    std::string palettePath;  // the look-up tables as a 256 x 1 P6
    std::string pamPath;      // the picture as PAM
    bool json = false;        // what the host received, as JSON on stdout
};

// What `save` is asked to save and how the host and the person set it up.
struct SaveRequest {
    std::string inPath;
    std::string outPath;
    std::string palettePath;    // makes a P5 input indexed
    std::string resourcesPath;  // the image resources, as the file's bytes
    std::vector<IptcDataset> datasets;  // File Info, from --iptc and --date
    int dpi = 0;                        // both resolutions; 0 keeps the input's
    SaveChoices choices;
};

// 0 when every file is PNG, 1 when one is not, 2 when one cannot be checked.
int RunProbeCommand(HostSession *session, const std::vector<std::string> &files);
// The property list, one property a line: key, value length, value.
int RunPiplCommand(HostSession *session);
// Shows the about box and clicks it away.
int RunAboutCommand(HostSession *session);
// pnghost's version and commit, and the version the module's about box states.
int RunVersionCommand(const std::string &modulePath);
// Opens a file and prints what the host received, and writes the files asked.
int RunOpenCommand(HostSession *session, const OpenRequest &request);
// Takes the input (PNG through the module, or netpbm) into the host's image,
// then saves it through the module: 0 saved, 1 cancelled, 2 on errors. The
// output is replaced only by a complete save.
int RunSaveCommand(HostSession *session, const SaveRequest &request);

#endif
