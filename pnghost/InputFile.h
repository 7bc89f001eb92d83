// Opening the file a command reads.
#ifndef PNGHOST_INPUT_FILE_H
#define PNGHOST_INPUT_FILE_H

#include <string>

// Opens path for reading. Anything but a regular file (a FIFO, a device, a
// directory) is refused, and opening never waits for a FIFO's writer. The
// descriptor, or -1 with *error saying why.
int OpenInputFile(const std::string &path, std::string *error);

#endif
