// What the host received from an open, as one JSON object for scripts: the
// result, the image description with the raw 16.16 resolutions, the look-up
// tables of an indexed image, the File Info and image resources, how the
// module used the host's callbacks, and what it left alive.
#ifndef PNGHOST_JSON_REPORT_H
#define PNGHOST_JSON_REPORT_H

#include <cstdio>
#include <string>

#include "pnghost/host/PluginHost.h"

void PrintOpenReport(FILE *out, const HostSession &session, const std::string &path, int16_t result);

#endif
