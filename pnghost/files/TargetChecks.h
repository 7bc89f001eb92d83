// Whether a save's target is still what the save found: the same file at
// the same path, with as many names, or still no file; and nothing written
// to it or changed about it since.
#ifndef PNGHOST_TARGET_CHECKS_H
#define PNGHOST_TARGET_CHECKS_H

#include <string>

#include "pnghost/files/SaveTarget.h"

// Finds the destination again (*now) and checks that it is as `then` was:
// still writable, the same file with as many names, or still no file;
// false with a reason otherwise.
bool StillAsItWas(const std::string &destination, const SaveTarget &then, SaveTarget *now, std::string *error);
// Whether `now` is the file `then` found, at the same path, with as many
// names, or still no file; false with a reason otherwise.
bool IsTheFileFound(const SaveTarget &then, const SaveTarget &now, std::string *error);
// Whether its status is as `then` found it (SaveTarget::changed and the
// rest): nothing written to it or changed about it since; false with a
// reason otherwise.
bool StatusAsFound(const SaveTarget &then, const SaveTarget &now, std::string *error);
// The last check of an existing target before the new image goes in: found
// again, it is as `then` found it, its status too.
bool StillUnchanged(const SaveTarget &then, std::string *error);

#endif
