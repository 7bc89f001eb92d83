// rename(2) puts the new file in place of the old in one step, the old one
// locked against other saves and checked a last time first; a new file
// takes its name only while no file has it. The folder is synced after it,
// so that the new name survives a crash. (A file that must stay the same
// file is written over instead: WriteOver.h.)
#include "pnghost/files/MoveIntoPlace.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/NewName.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/TargetLock.h"

namespace {

bool Rename(const std::string &from, const SaveTarget &to, std::string *error) {
    if (to.exists ? std::rename(from.c_str(), to.path.c_str()) == 0 : RenameWithoutReplacing(from, to.path))
        return true;
    *error = errno == EEXIST && !to.exists
                 ? "created by another program during the save: not replaced"
                 : std::string("cannot put the new file in place: ") + std::strerror(errno) + "; not replaced";
    return false;
}

}  // namespace

// A signal that comes once they are held for the rename is too late to stop
// the save: they stay held (SaveSignals.h). Only a failed rename lets them
// through, and then one that came meanwhile ends pnghost, the new file
// removed.
bool MoveIntoPlace(const std::string &from, const SaveTarget &to, bool *newFileKept, std::string *error) {
    *newFileKept = false;
    struct stat checked {};
    const int locked = to.exists ? LockAndCheckAgain(to, &checked, error) : -1;
    if (to.exists && locked < 0) return false;
    StopIfAsked("rename");
    HoldSignals();
    const bool moved = Rename(from, to, error);
    if (locked >= 0) close(locked);
    if (!moved) {
        LetSignalsThrough();
        return false;
    }
    if (SyncFolderOf(to.path)) return true;
    *error = std::string("the new file is in place, but its folder cannot be synced: ") + std::strerror(errno) +
             "; a crash now could bring back the old file";
    return false;
}
