// The file calls a write-over makes (WriteOver.h), one of each per
// platform: POSIX on Linux (WriteOverCalls.cpp), Win32 on Windows
// (WriteOverCallsWin32.cpp). A call that fails leaves the platform's error
// (errno, GetLastError) for WithLastError to tell.
#ifndef PNGHOST_WRITE_OVER_CALLS_H
#define PNGHOST_WRITE_OVER_CALLS_H

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstddef>
#include <string>

#include "pnghost/files/SaveTarget.h"

#ifdef _WIN32
using FileHandle = void *;  // a HANDLE
#else
using FileHandle = int;  // a descriptor
#endif

// The old file, open to be written over, and what its last check saw.
struct OldFile {
    FileHandle file{};
#ifndef _WIN32
    struct stat checked {};  // its status then, to tell a change since
#endif
};

// Opens the new file to be read; false when it cannot be.
bool OpenToRead(const std::string &path, FileHandle *file);
// Opens the old file to be written over, so that no other save writes over
// it meanwhile, and checks it a last time: still the file the save found,
// with as many names, nothing written to it or changed about it since, and
// the very file opened. False with *error saying why it is not replaced.
bool OpenOldChecked(const SaveTarget &to, OldFile *old, std::string *error);
// Whether the old file is still as its last check saw it, once the copy is
// made; false with *error otherwise.
bool UnchangedSinceChecked(const OldFile &old, const SaveTarget &to, std::string *error);
// The file open as this C runtime descriptor.
FileHandle FileOfDescriptor(int descriptor);
void CloseFile(FileHandle file);

// Lets the target's owner read the copy of her file, where that is not
// already so.
void LetTheOwnerRead(int copy, const SaveTarget &to);
// Renames `from` to `to` only if no file has that name; false otherwise.
bool RenameTheCopy(const std::string &from, const std::string &to);
// Whether the rename that failed found its new name taken.
bool NameTaken();
// Removes the file; false when it cannot be removed.
bool RemoveTheFile(const std::string &path);
// The name the path was just given, or the removal of the file it named,
// is on the disk, to stay after a crash.
bool SyncTheName(const std::string &path);

bool Rewind(FileHandle file);
// Reads up to `size` bytes: how many, 0 at the end, -1 on failure.
long ReadPiece(FileHandle file, char *piece, size_t size);
// Writes some of the `count` bytes: how many, -1 on failure.
long WritePiece(FileHandle file, const char *bytes, size_t count);
// Whether the read or write that failed was cut short by a signal before
// it moved a byte, and is to be made again.
bool Interrupted();
// The file ends after its first `length` bytes, where the last write
// ended, and all of it is on the disk.
bool EndAndSync(FileHandle file, long long length);
// Room on the disk for the source's bytes in the old file, taken without
// changing the old file; false when the disk has none.
bool ReserveRoom(FileHandle old, FileHandle source);

// The platform's error for a failing disk, as a fault knob makes one.
void SetFailingDiskError();
// The platform's error for a write that took no byte: a full disk.
void SetFullDiskError();
// `what`, with the platform's last error.
std::string WithLastError(const std::string &what);

// What stops a save from outside, and the command that copies a file back,
// for the messages.
extern const char kStoppedBy[];
extern const char kCopyCommand[];

#endif
