// A copy of an old image that an unfinished save left beside the file,
// .NAME.pnghost-old-PID-N: its being there says the save did not finish and
// the old image may belong in the file again. A new save of the file must
// not go on until a person has chosen, or the copy would undo the new save.
#ifndef PNGHOST_LEFTOVER_COPY_H
#define PNGHOST_LEFTOVER_COPY_H

#include <string>

#include "pnghost/files/SaveTarget.h"

// False with *error naming the copy and the two ways on (put it back, or
// delete it) when such a copy lies beside the target. A copy of a process
// still running is another save's, still working, unless `evenOfRunning`
// (the target locked against other saves: then the process id is another's).
// In a sticky folder anyone may write to, only a copy of the saver's, the
// target owner's or the folder owner's counts, as a stranger's file there is
// no copy pnghost made.
bool NoLeftoverCopy(const SaveTarget &target, bool evenOfRunning, std::string *error);

#endif
