// Looking beside a save's target for the copy an unfinished save left.
#include "pnghost/files/LeftoverCopy.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "pnghost/files/OwnFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The command that copies a file over another, for the message (as
// WriteOverCalls' kCopyCommand, which this file cannot include: the
// write-over's calls lead back here through the target lock).
#ifdef _WIN32
const char kPutBack[] = "copy";
#else
const char kPutBack[] = "cp";
#endif

// Beside a name this long the copy may have had the short name
// .pnghost-old-PID-N (OwnFiles.h).
const size_t kLongName = 200;

bool Running(long pid) {
#ifdef _WIN32
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

// A regular file pnghost could have made there (on Linux, see the header).
bool CouldBeACopy(const std::string &path, const std::string &folder, const SaveTarget &target) {
#ifdef _WIN32
    (void)folder;
    (void)target;
    struct _stat64 status {};
    return _stat64(path.c_str(), &status) == 0 && (status.st_mode & _S_IFREG) != 0;
#else
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    return !AStrangersInASharedFolder(folder, status.st_uid) || static_cast<long>(status.st_uid) == target.owner;
#endif
}

// The process id in a copy's name, after its stem: PID-N.
long ProcessOf(const std::string &rest) { return std::strtol(rest.c_str(), nullptr, 10); }

}  // namespace

bool NoLeftoverCopy(const SaveTarget &target, bool evenOfRunning, std::string *error) {
    const std::string folder = FolderOf(target.path);
    const std::string name = target.path.substr(folder.size());
    const std::string stems[] = {"." + name + ".pnghost-old-", name.size() > kLongName ? ".pnghost-old-" : ""};
    DIR *listing = opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) return true;  // a folder that cannot be listed holds no copy pnghost made
    std::string found;
    while (const dirent *entry = readdir(listing)) {
        const std::string each = entry->d_name;
        for (const std::string &stem : stems) {
            if (stem.empty() || each.compare(0, stem.size(), stem) != 0) continue;
            if (!evenOfRunning && Running(ProcessOf(each.substr(stem.size())))) continue;
            if (CouldBeACopy(folder + each, folder, target)) found = folder + each;
        }
    }
    closedir(listing);
    if (found.empty()) return true;
    *error = "an unfinished save left a copy of its old image, " + found +
             ": not replaced; put the old image back with " + kPutBack + " " + found + " " + target.path +
             " and delete the copy, or delete the copy to keep the file as it is; then save again";
    return false;
}
