// Giving a copy of the old image its next name without taking another file's.
#include "pnghost/files/CopyNames.h"

#include <cstdio>
#include <cstdlib>

#include "pnghost/files/SaveFaults.h"
#include "pnghost/files/WriteOverCalls.h"

namespace {

// As many as a person might plant beside one file; a failure of any other
// kind stops at once.
const int kMostNumbersTried = 100;

}  // namespace

bool RenameCopyAs(const std::string &kind, std::string *path, std::string *tried) {
    const size_t stem = path->rfind("pnghost-");
    const size_t pid = path->find('-', stem + 8);
    const size_t number = path->rfind('-');
    const std::string named = path->substr(0, stem) + "pnghost-" + kind + path->substr(pid, number + 1 - pid);
    const long first = std::strtol(path->c_str() + number + 1, nullptr, 10);
    for (long each = first; each < first + kMostNumbersTried; ++each) {
        *tried = named + std::to_string(each);
        if (RenameTheCopy(*path, *tried)) {
            *path = *tried;
            return true;
        }
        if (!NameTaken()) return false;
    }
    return false;
}

// The fault knob stands for a disk that fails.
bool EndTheCopy(const std::string &copy, const std::string &out, std::string *error) {
    const int failures = CopyRemovalFailures();
    if (failures >= 1) SetFailingDiskError();
    if (failures < 1 && RemoveTheFile(copy)) {
        if (SyncTheName(copy)) return true;
        *error = WithLastError("the new image is in place, but its folder cannot be synced once the copy of the old "
                               "image, " + copy + ", was removed") +
                 ": should a crash bring the copy back, delete it; do not put it back";
        return false;
    }
    const std::string kept = WithLastError("cannot remove the copy of the old image, " + copy);
    std::string done = copy, tried = copy;
    if (failures >= 2) SetFailingDiskError();
    if (failures < 2 && RenameCopyAs("done", &done, &tried) && SyncTheName(done)) {
        std::fprintf(stderr, "pnghost: %s: %s; it is renamed %s and may be deleted\n", out.c_str(),
                     kept.c_str(), done.c_str());
        return true;
    }
    *error = "the new image is in place, but " + kept + ", " + WithLastError("nor rename it " + tried) +
             ": delete it; do not put it back";
    return false;
}
