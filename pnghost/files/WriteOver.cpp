// Writing over the old file with a copy of its bytes kept until the new ones
// are safely on the disk: the same steps on Linux and Windows, each with its
// own file calls (WriteOverCalls.h). A file with several hard links keeps
// them all, each showing the new image. A crash half way (SIGKILL, the
// out-of-memory killer, a power cut) leaves the copy, .NAME.pnghost-old-PID-N
// beside the file (or pnghost-old-PID-N in the temporary folder; hidden on
// Windows), for a person to copy back: it has that name only while it is
// whole, and until the new image is whole on the disk, so that its being
// there says the save did not finish.
#include "pnghost/files/WriteOver.h"

#include <unistd.h>

#include <cstdio>

#include "pnghost/files/OwnFiles.h"
#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/SaveSignals.h"
#include "pnghost/files/WriteOverCalls.h"

namespace {

// Writes into the old file are counted for the fault knobs.
int writesIntoOld = 0;

bool FaultAtWriteIntoOld() {
    const int number = writesIntoOld++;
    StopIfAsked("write-over:" + std::to_string(number));
    if (!WriteOverWriteFails(number)) return false;
    SetFailingDiskError();
    return true;
}

bool WriteAll(FileHandle file, const char *bytes, size_t count, bool intoOld) {
    while (count > 0) {
        if (intoOld && FaultAtWriteIntoOld()) return false;
        const long written = WritePiece(file, bytes, count);
        if (written < 0 && Interrupted()) continue;
        if (written < 0) return false;
        if (written == 0) {
            SetFullDiskError();
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// `to` becomes byte for byte what `from` holds, on the disk.
bool CopyOver(FileHandle from, FileHandle to, bool intoOld) {
    if (!Rewind(from) || !Rewind(to)) return false;
    char piece[65536];
    long long length = 0;
    for (;;) {
        const long got = ReadPiece(from, piece, sizeof piece);
        if (got < 0 && Interrupted()) continue;
        if (got < 0) return false;
        if (got == 0) break;
        if (!WriteAll(to, piece, static_cast<size_t>(got), intoOld)) return false;
        length += got;
    }
    return EndAndSync(to, length);
}

// Renames the complete copy from its stage, .NAME.pnghost-copy-PID-N, to
// .NAME.pnghost-old-PID-N, so that a copy under that name is always whole,
// and the signals' slot goes with it.
bool NameTheCopy(std::string *path) {
    const std::string stage = *path, staged = "pnghost-copy-";
    const size_t at = stage.rfind(staged);
    const std::string named = stage.substr(0, at) + "pnghost-old-" + stage.substr(at + staged.size());
    HoldSignals();
    const bool renamed = RenameTheCopy(stage, named);
    if (renamed) {
        ForgetOnSignal(stage);
        RemoveOnSignal(named);
        *path = named;
    }
    LetSignalsThrough();
    return renamed;
}

// A complete copy of the old bytes, its name on the disk too, before the
// first byte is written over; OUT's owner may read it, so that she can put
// it back herself. -1 with *error when it cannot be made; then nothing is
// left of it.
int KeepCopy(FileHandle old, const SaveTarget &to, std::string *copyPath, std::string *error) {
    bool inTemporaryFolder = false;
    const int copy = CreateFileBeside(to.path, "-copy", copyPath, &inTemporaryFolder, error);
    if (copy < 0) {
        *error = "cannot keep a copy of the old file: " + *error + "; not replaced";
        return -1;
    }
    LetTheOwnerRead(copy, to);
    StopIfAsked("copy");
    if (CopyOver(old, FileOfDescriptor(copy), false) && NameTheCopy(copyPath) && SyncTheName(*copyPath)) return copy;
    *error = WithLastError("cannot keep a copy of the old file in " + *copyPath) + "; not replaced";
    close(copy);
    std::remove(copyPath->c_str());
    ForgetOnSignal(*copyPath);
    return -1;
}

enum Outcome { kReplaced, kOldImageWhole, kOnlyTheCopyWhole };

// The new bytes over the old, or the old ones put back from the copy: also
// when a signal came meanwhile, which is to end pnghost with the file as it
// was. When neither, *error says where the copy is.
Outcome WriteOverOrPutBack(FileHandle source, FileHandle old, FileHandle copy, const std::string &copyPath,
                           const SaveTarget &to, std::string *error) {
    if (!ReserveRoom(old, source)) {
        *error = WithLastError("no room for the new file") + "; not replaced";
        return kOldImageWhole;
    }
    const bool written = CopyOver(source, old, true);
    if (written && !SignalWaiting()) return kReplaced;
    const std::string why = written ? std::string("stopped by ") + kStoppedBy : WithLastError("cannot write over it");
    if (CopyOver(copy, old, true)) {
        *error = why + "; the old image is back in place";
        return kOldImageWhole;
    }
    *error = why + ", " + WithLastError("nor put the old image back") + "; it is kept whole in " + copyPath +
             ": put it back with " + kCopyCommand + " " + copyPath + " " + to.path;
    return kOnlyTheCopyWhole;
}

}  // namespace

// The old file is opened and checked a last time, and checked again once the
// copy is made: the first write goes only into the file checked, as it was
// when copied. A signal (on Windows, Ctrl-C or a closed console) that comes
// during the writes waits until the old file holds a whole image again; the
// copy goes only then. Once the new image is in place, it is too late to
// stop the save (SaveSignals.h).
bool WriteOverKeepingACopy(const std::string &from, const SaveTarget &to, std::string *error) {
    FileHandle source{};
    if (!OpenToRead(from, &source)) {
        *error = WithLastError("cannot read the new file") + "; not replaced";
        return false;
    }
    OldFile old;
    const bool opened = OpenOldChecked(to, &old, error);
    std::string copyPath;
    const int copy = opened ? KeepCopy(old.file, to, &copyPath, error) : -1;
    const bool unchanged = copy >= 0 && UnchangedSinceChecked(old, to, error);
    Outcome outcome = kOldImageWhole;
    if (copy >= 0) {
        HoldSignals();
        if (unchanged) outcome = WriteOverOrPutBack(source, old.file, FileOfDescriptor(copy), copyPath, to, error);
        close(copy);
        if (outcome != kOnlyTheCopyWhole) std::remove(copyPath.c_str());
        ForgetOnSignal(copyPath);
        LetThroughUnlessSaved(outcome == kReplaced);
    }
    if (opened) CloseFile(old.file);
    CloseFile(source);
    return outcome == kReplaced;
}
