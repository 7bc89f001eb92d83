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
#include <cstring>

#include "pnghost/files/CopyNames.h"
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
// .NAME.pnghost-old-PID-N (the next free number where a file has that
// name), so that a copy under that name is always whole, and the signals'
// slot goes with it. *named is the name it has, or the last tried.
bool NameTheCopy(std::string *path, std::string *named) {
    const std::string stage = *path;
    HoldSignals();
    const bool renamed = RenameCopyAs("old", path, named);
    if (renamed) {
        ForgetOnSignal(stage);
        RemoveOnSignal(*path);
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
    std::string named = *copyPath;
    if (CopyOver(old, FileOfDescriptor(copy), false) && NameTheCopy(copyPath, &named) && SyncTheName(*copyPath))
        return copy;
    *error = WithLastError("cannot keep a copy of the old file in " + named) + "; not replaced";
    close(copy);
    std::remove(copyPath->c_str());
    ForgetOnSignal(*copyPath);
    return -1;
}

// Reads up to `size` bytes, fewer only at the end: how many, -1 on failure.
long ReadFull(FileHandle file, char *into, size_t size) {
    size_t have = 0;
    while (have < size) {
        const long got = ReadPiece(file, into + have, size - have);
        if (got < 0 && Interrupted()) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        have += static_cast<size_t>(got);
    }
    return static_cast<long>(have);
}

// Whether `file` reads back byte for byte as `source`: a program that takes
// no lock may have written into it along with the save.
bool HoldsTheSame(FileHandle file, FileHandle source) {
    if (!Rewind(file) || !Rewind(source)) return false;
    static char held[65536], wanted[65536];
    for (;;) {
        const long want = ReadFull(source, wanted, sizeof wanted);
        const long have = ReadFull(file, held, sizeof held);
        if (want < 0 || have != want || std::memcmp(held, wanted, static_cast<size_t>(want)) != 0) return false;
        if (want == 0) return true;
    }
}

enum Outcome { kReplaced, kOldImageWhole, kOnlyTheCopyWhole };

// Where the old image is, and how to put it back, when only the copy holds it.
std::string KeptWholeIn(const std::string &copyPath, const SaveTarget &to) {
    return "kept whole in " + copyPath + ": put it back with " + kCopyCommand + " " + copyPath + " " + to.path;
}

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
    if (written && !HoldsTheSame(old, source)) {
        *error = "it does not read back as the new image: another program wrote into it during the save, or the "
                 "disk fails; the old image is " + KeptWholeIn(copyPath, to);
        return kOnlyTheCopyWhole;
    }
    if (written && !SignalWaiting()) return kReplaced;
    const std::string why = written ? std::string("stopped by ") + kStoppedBy : WithLastError("cannot write over it");
    if (CopyOver(copy, old, true)) {
        *error = why + "; the old image is back in place";
        return kOldImageWhole;
    }
    *error = why + ", " + WithLastError("nor put the old image back") + "; it is " + KeptWholeIn(copyPath, to);
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
    bool ended = false;
    if (copy >= 0) {
        HoldSignals();
        if (unchanged) outcome = WriteOverOrPutBack(source, old.file, FileOfDescriptor(copy), copyPath, to, error);
        close(copy);
        if (outcome == kOldImageWhole) std::remove(copyPath.c_str());
        ForgetOnSignal(copyPath);
        // A signal that waits ends pnghost: the copy is named first.
        if (outcome == kOnlyTheCopyWhole && SignalWaiting())
            std::fprintf(stderr, "pnghost: %s: %s\n", to.path.c_str(), error->c_str());
        ended = outcome == kReplaced && EndTheCopy(copyPath, to.path, error);
        LetThroughUnlessSaved(outcome == kReplaced);
    }
    if (opened) CloseFile(old.file);
    CloseFile(source);
    return ended;
}
