// The host's image as PAM, the picture a person can look at.
#ifndef PNGHOST_PAM_FILE_H
#define PNGHOST_PAM_FILE_H

#include <string>

#include "pnghost/host/HostImage.h"

// Writes the host's image as a PAM file (netpbm's P7), so that a person can
// look at what the module delivered: bitmaps as BLACKANDWHITE, indexed images
// through their colour tables as RGB.
bool WritePamFile(const HostImage &image, const std::string &path, std::string *error);

#endif
