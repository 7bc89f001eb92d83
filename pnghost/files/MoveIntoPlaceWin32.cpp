// ReplaceFile puts the new file in the old one's place and keeps what the old
// one carries: its ACL, alternate data streams, attributes, creation time and
// short name. It is given a backup name to move the old file to, so that
// when it fails half way, whatever its error says, the old file is found by
// what stands at each name and moved back; the new file is removed only
// when the old one is in place again, and otherwise every file left is
// named, with the command that puts the old one back. Just before, the old
// file is checked a last time: still the file found, with as many names,
// nothing written to it or changed about it. A new file is moved into
// place, never over a file that came into being meanwhile. (A file that
// must stay the same file, with several hard links, which ReplaceFile would
// split, or in a folder that takes no new file, is written over instead:
// WriteOver.h.)
#include "pnghost/files/MoveIntoPlace.h"

#include <windows.h>

#include <io.h>

#include "pnghost/files/CopyNames.h"
#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/TargetChecks.h"

namespace {

std::string WindowsError(DWORD code) { return "(Windows error " + std::to_string(code) + ")"; }

// The new file was hidden while it was written: it takes the old file's
// attributes, or none.
void ShowAsTheOldFile(const std::string &from, const SaveTarget &to) {
    const DWORD kept = to.exists ? to.mode & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY) : 0;
    SetFileAttributesA(from.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
}

// The names a replace works with.
struct Replacement {
    std::string out;     // the destination, where the old file is
    std::string fresh;   // the new file
    std::string backup;  // where ReplaceFile moves the old file
};

// Whether a file stands at the path; a name that cannot be looked at counts
// as taken.
bool Exists(const std::string &path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD why = GetLastError();
    return why != ERROR_FILE_NOT_FOUND && why != ERROR_PATH_NOT_FOUND;
}

// A name beside the destination that no file has, for the old file: made as
// the write-over's copy is named, and removed again, so that a file standing
// there after a failed replace is the old one.
bool FreeBackupName(const std::string &out, std::string *backup, std::string *error) {
    bool inTemporaryFolder = false;
    const int reserved = CreateFileBeside(out, "-old", backup, &inTemporaryFolder, error);
    if (reserved < 0) {
        *error = "cannot name a backup of the old file: " + *error + "; not replaced";
        return false;
    }
    _close(reserved);
    const bool removed = DeleteFileA(backup->c_str()) != 0;
    if (!removed) *error = "cannot name a backup of the old file " + WindowsError(GetLastError()) + "; not replaced";
    ForgetOnSignal(*backup);
    return removed;
}

// ReplaceFile, or, when the fault knob asks for an error, the moves it makes
// before it fails with that error: with 1177 the old file has gone to the
// backup name and the new file kept its own; with the others both kept
// their names.
bool Replace(const Replacement &names, DWORD *why) {
    bool putBackFails = false;
    *why = ReplaceFailsWith(&putBackFails);
    if (*why == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) MoveFileExA(names.out.c_str(), names.backup.c_str(), 0);
    if (*why != 0) return false;
    if (ReplaceFileA(names.out.c_str(), names.fresh.c_str(), names.backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return true;
    *why = GetLastError();
    return false;
}

// A new file into a place no file has: never over one that came into being
// meanwhile.
bool MoveNew(const Replacement &names, std::string *error) {
    if (MoveFileExA(names.fresh.c_str(), names.out.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD why = GetLastError();
    *error = why == ERROR_ALREADY_EXISTS || why == ERROR_FILE_EXISTS
                 ? "created by another program during the save: not replaced"
                 : "cannot put the new file in place " + WindowsError(why) + "; not replaced";
    return false;
}

// The old file from the backup name back to the destination's, which no
// file has. False with the error when it cannot be moved.
bool MoveBack(const Replacement &names, DWORD *why) {
    bool putBackFails = false;
    ReplaceFailsWith(&putBackFails);
    if (!putBackFails && MoveFileExA(names.backup.c_str(), names.out.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    *why = putBackFails ? ERROR_ACCESS_DENIED : GetLastError();
    return false;
}

// What the destination's name holds and where each image is, when the old
// file is not back in place alone, with the command that puts the old one
// back.
std::string WhereTheImagesAre(const Replacement &names) {
    const bool oldKept = Exists(names.backup), newKept = Exists(names.fresh);
    std::string where = !Exists(names.out) ? "; it is gone"
                        : newKept          ? "; a file stands in its place again"
                                           : "; it holds the new image";
    where += oldKept ? "; the old image is in " + names.backup : "; the old image was not found";
    if (newKept) where += "; the new image is in " + names.fresh;
    if (!oldKept) return where;
    return where + ": put the old image back with move /y \"" + names.backup + "\" \"" + names.out + "\"";
}

// After a failed replace: ReplaceFile moves the old file only to the backup
// name and the new one only to the destination's, so a destination beside
// the new file, with nothing at the backup name, is the old file, and a
// destination that is gone is moved back from the backup name. True when
// the old file is in place again; otherwise *error says where the images
// are.
bool PutOldBack(const Replacement &names, DWORD replaceError, std::string *error) {
    *error = "cannot put the new file in place " + WindowsError(replaceError);
    DWORD moveError = 0;
    if (!Exists(names.out) && Exists(names.backup) && !MoveBack(names, &moveError))
        *error += ", nor move the old file back " + WindowsError(moveError);
    if (Exists(names.out) && Exists(names.fresh) && !Exists(names.backup)) {
        *error += "; not replaced";
        return true;
    }
    *error += WhereTheImagesAre(names);
    return false;
}

}  // namespace

// An existing target is checked a last time once all else is ready, its
// backup's name found too, so that as little as can be stands between the
// check and the replace.
bool MoveIntoPlace(const std::string &from, const SaveTarget &to, bool *newFileKept, std::string *error) {
    *newFileKept = false;
    ShowAsTheOldFile(from, to);
    Replacement names{to.path, from, ""};
    if (to.exists && !(FreeBackupName(to.path, &names.backup, error) && StillUnchanged(to, error))) return false;
    StopIfAsked("rename");
    // Ctrl-C or a closed console waits until the old file is back in place,
    // or the files are the person's, named; once the new file is in place,
    // it is too late to stop the save.
    HoldSignals();
    DWORD why = 0;
    const bool moved = to.exists ? Replace(names, &why) : MoveNew(names, error);
    // The backup must not stay under the name that says "put it back".
    const bool ended = !moved || !to.exists || EndTheCopy(names.backup, to.path, error);
    if (!moved && to.exists && !PutOldBack(names, why, error)) {
        *newFileKept = Exists(from);
        ForgetOnSignal(from);
    }
    LetThroughUnlessSaved(moved);
    return moved && ended;
}
