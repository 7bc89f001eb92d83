// Putting the new bytes into the old file itself, for a file that must stay
// the same file (several names; an owner, group or attributes a new file
// could not have; a folder that lets no new file take its name), without
// ever being left with neither image: a complete copy of the old bytes is on
// the disk before the first byte is written over.
#ifndef PNGHOST_WRITE_OVER_H
#define PNGHOST_WRITE_OVER_H

#include <string>

#include "pnghost/files/SaveTarget.h"

// Keeps a synced copy of the old file's bytes, writes the new file's bytes
// over them and syncs, reads them back, then removes the copy and syncs its
// folder (CopyNames.h). When a write fails, the old bytes are put back from
// the copy; when that fails too, or the file does not read back as the new
// image (another program wrote into it), the copy is kept and *error names
// it. Signals wait until the old file holds a whole image. False with
// *error saying what the file holds.
bool WriteOverKeepingACopy(const std::string &from, const SaveTarget &to, std::string *error);

#endif
