// The names a copy of the old image goes by once it is whole, beside the
// file saved over: .NAME.pnghost-old-PID-N while the save has not finished,
// so that its being there says "put it back"; .NAME.pnghost-done-PID-N when
// the save finished but the copy could not be removed, so that it says "may
// be deleted". A name that another file already has is never taken over:
// the next number is tried. A copy that the save cannot remove once it
// finished is renamed so.
#ifndef PNGHOST_COPY_NAMES_H
#define PNGHOST_COPY_NAMES_H

#include <string>

// Renames the copy `*path` (…pnghost-KIND-PID-N for any KIND) to
// …pnghost-`kind`-PID-M, M the first number from N that no file has, and
// *path with it. False with the platform's error (WithLastError) and *path
// unchanged when it cannot be renamed; *tried is the last name tried.
bool RenameCopyAs(const std::string &kind, std::string *path, std::string *tried);
// Ends the copy `copy` once the new image is whole and on the disk in `out`:
// removed, and the removal on the disk too, so that no crash brings it
// back; where it cannot be removed, renamed …pnghost-done-PID-M, its new
// name on the disk, and a warning saying so. False with *error, which says
// the new image is in place, when neither can be done.
bool EndTheCopy(const std::string &copy, const std::string &out, std::string *error);

#endif
