// The safe save: a new file beside the destination, put in its place once complete.
#include "pnghost/files/SafeSaveFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/files/LeftoverCopy.h"
#include "pnghost/files/MoveIntoPlace.h"
#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/StandardStreams.h"
#include "pnghost/files/TargetChecks.h"
#include "pnghost/files/WriteOver.h"

#ifdef _WIN32
#include <io.h>
#define fsync _commit
#endif

namespace {

// The new file beside the target, so that the rename stays within one file
// system; where the folder takes no new file, a file that is not the
// target's own can still be written over it.
int CreateNewFile(SaveFile *file, std::string *error) {
    bool inTemporaryFolder = false;
    const int descriptor = CreateFileBeside(file->target.path, "", &file->written, &inTemporaryFolder, error);
    if (descriptor < 0) *error = "cannot create a file beside it: " + *error;
    if (inTemporaryFolder) file->target.writeOver = true;
    return descriptor;
}

bool CloseAndFail(SaveFile *file, std::string *error, const std::string &why) {
    close(file->descriptor);
    file->descriptor = -1;
    *error = why;
    return false;
}

std::string CannotWrite() { return std::string("cannot write: ") + std::strerror(errno) + "; not replaced"; }

// What the old file is now taken over and the new file's bytes on the disk
// first, so that as little as can be stands between the last check of the
// destination (the platform's, as it puts the new file in place) and the
// replace. Where the new file cannot be all the old one was, the old file is
// written over instead.
bool PutInPlace(SaveFile *file, std::string *error) {
    SaveTarget now;
    if (!StillAsItWas(file->destination, file->target, &now, error)) return CloseAndFail(file, error, *error);
    now.writeOver = now.writeOver || file->target.writeOver;
    if (!now.writeOver && !TakeOverOwnerAndMode(now, file->descriptor)) now.writeOver = now.exists;
    if (fsync(file->descriptor) != 0) return CloseAndFail(file, error, CannotWrite());
    const bool closed = close(file->descriptor) == 0;
    file->descriptor = -1;
    if (!closed) {
        *error = CannotWrite();
        return false;
    }
    StopIfAsked("replace");
    if (!now.writeOver) {
        bool newFileKept = false;
        const bool moved = MoveIntoPlace(file->written, now, &newFileKept, error);
        if (newFileKept) file->written.clear();  // the person's now
        return moved;
    }
    const bool replaced = WriteOverKeepingACopy(file->written, now, error);
    std::remove(file->written.c_str());
    return replaced;
}

// Not under held signals: a reader that stops reading must not make the
// process deaf to Ctrl-C.
bool SendToStandardOutput(SaveFile *file, std::string *error) {
    const bool sent = CopyToStandardOutput(file->descriptor, error);
    close(file->descriptor);
    file->descriptor = -1;
    return sent;
}

}  // namespace

bool BeginSave(const std::string &destination, SaveFile *file, std::string *error) {
    *file = SaveFile{};
    file->destination = destination;
    file->toStandardOutput = destination == "-";
    if (file->toStandardOutput && StandardOutputClosed()) {
        *error = "standard output is closed: nowhere to write the PNG";
        return false;
    }
    if (file->toStandardOutput) {
        file->descriptor = CreateOwnFile(TemporaryFolder() + "pnghost-stdout", &file->written, error);
        if (file->descriptor < 0) *error = "cannot create a file in " + TemporaryFolder() + ": " + *error;
        return file->descriptor >= 0;
    }
    if (!FindSaveTarget(destination, &file->target, error) || !NoLeftoverCopy(file->target, false, error))
        return false;
    file->descriptor = CreateNewFile(file, error);
    // A new file with no folder to take it would have nowhere to go.
    if (file->descriptor >= 0 && file->target.writeOver && !file->target.exists) {
        AbandonSave(file);
        *error = "cannot create a file beside it: " + std::string(std::strerror(EACCES));
        return false;
    }
    return file->descriptor >= 0;
}

bool FinishSave(SaveFile *file, std::string *error) {
    const bool finished = file->toStandardOutput ? SendToStandardOutput(file, error) : PutInPlace(file, error);
    if (!finished || file->toStandardOutput) std::remove(file->written.c_str());
    ForgetOnSignal(file->written);
    return finished;
}

void AbandonSave(SaveFile *file) {
    if (file->descriptor >= 0) close(file->descriptor);
    file->descriptor = -1;
    if (file->written.empty()) return;
    std::remove(file->written.c_str());
    ForgetOnSignal(file->written);
}
