// Finding the file a save replaces, and giving the new file what the old one
// carries, on Linux.
#include "pnghost/files/SaveTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "pnghost/files/AccessControlLists.h"
#include "pnghost/files/ExtendedAttributes.h"

namespace {

// As the kernel, which gives up after 40 links in a row.
const int kMostLinksFollowed = 40;

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a symbolic link holds, as it holds it.
bool ReadLink(const std::string &link, std::string *target) {
    char text[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), text, sizeof text - 1);
    if (length <= 0) return false;
    target->assign(text, static_cast<size_t>(length));
    return true;
}

const char *KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO or pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode);
    return text;
}

bool Refuse(std::string *error, const std::string &why) {
    *error = why;
    return false;
}

// A stranger's link there could send the save to any file the saver may
// write: the kernel does not follow it (fs.protected_symlinks), and neither
// does the save, on every folder of the path. `last` when the link is the
// destination's own name.
bool MayFollow(const std::string &link, const struct stat &status, bool last, std::string *error) {
    if (!AStrangersInASharedFolder(FolderOf(link), status.st_uid)) return true;
    return Refuse(error, (last ? "" : "its folder " + link + " is ") + "a symbolic link of uid " +
                             std::to_string(status.st_uid) +
                             " in a sticky folder anyone may write to: not followed (the kernel's rule, "
                             "fs.protected_symlinks); save to the file it names");
}

// A stranger's file there may have been put there for the saver to write
// into: the kernel refuses to open it so (fs.protected_regular), and so
// does the save.
bool MayWriteInto(const std::string &path, const struct stat &status, std::string *error) {
    if (!AStrangersInASharedFolder(FolderOf(path), status.st_uid)) return true;
    return Refuse(error, "a file of uid " + std::to_string(status.st_uid) +
                             " in a sticky folder anyone may write to: not written into (the kernel's rule, "
                             "fs.protected_regular); save under another name");
}

// The names of a path, in order; "." left out.
void PushNames(const std::string &path, std::vector<std::string> *names) {
    std::vector<std::string> added;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, slash - start);
        if (!name.empty() && name != ".") added.push_back(name);
        start = slash + 1;
    }
    names->insert(names->begin(), added.begin(), added.end());
}

// Follows the destination's links one name at a time, as the kernel does,
// so that the rule for links holds on every folder of the path: *path is
// the file it names, with no link on the way; *status its lstat, or false
// *found where no file (or no folder on the way) is there.
bool Resolve(const std::string &destination, std::string *path, struct stat *status, bool *found,
             std::string *error) {
    std::vector<std::string> names;
    PushNames(destination, &names);
    *found = true;
    *path = destination;  // the root folder, which has no name
    if (names.empty() && lstat(path->c_str(), status) != 0)
        return Refuse(error, std::string("cannot look at it: ") + std::strerror(errno));
    std::string folder = destination[0] == '/' ? "/" : "";
    for (int followed = 0; !names.empty();) {
        *path = folder + names.front();
        names.erase(names.begin());
        if (lstat(path->c_str(), status) != 0) {
            if (errno != ENOENT) return Refuse(error, std::string("cannot look at it: ") + std::strerror(errno));
            for (const std::string &name : names) *path += "/" + name;
            *found = false;  // a new file, or one a dangling link names
            return true;
        }
        if (!S_ISLNK(status->st_mode)) {
            if (!names.empty()) folder = *path + "/";
            continue;
        }
        if (++followed > kMostLinksFollowed) return Refuse(error, "too many symbolic links in a row");
        std::string pointed;
        if (!MayFollow(*path, *status, names.empty(), error)) return false;
        if (!ReadLink(*path, &pointed))
            return Refuse(error, std::string("cannot read the link: ") + std::strerror(errno));
        if (pointed[0] == '/') folder = "/";
        PushNames(pointed, &names);
    }
    return true;
}

long long Nanoseconds(const struct timespec &time) {
    return static_cast<long long>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The bits any program's new file gets in the folder: 0666 narrowed by the
// folder's default ACL where it has one, by the umask where not.
mode_t NewFileBits(const std::string &path) {
    const std::string folder = FolderOf(path);
    mode_t bits = 0;
    if (BitsFromDefaultAcl(folder.empty() ? "." : folder, 0666, &bits)) return bits;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool AStrangersInASharedFolder(const std::string &folder, unsigned owner) {
    struct stat shared {};
    if (stat(folder.empty() ? "." : folder.c_str(), &shared) != 0) return true;
    const bool sticky = (shared.st_mode & S_ISVTX) != 0 && (shared.st_mode & S_IWOTH) != 0;
    return sticky && owner != geteuid() && owner != shared.st_uid;
}

bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error) {
    *target = SaveTarget{};
    std::string path;
    struct stat status {};
    bool found = false;
    if (destination.empty()) return Refuse(error, "an empty name");
    if (!Resolve(destination, &path, &status, &found, error)) return false;
    target->path = path;
    if (!found) return true;
    if (!S_ISREG(status.st_mode))
        return Refuse(error, std::string(KindOf(status.st_mode)) +
                                 ", not a regular file: a save writes a file on disk (use - for standard output)");
    const unsigned mode = status.st_mode & 07777;
    if ((mode & 0222) == 0)
        return Refuse(error, "read-only (mode " + Octal(mode) + "): not replaced; make it writable to save over it");
    if (!MayWriteInto(path, status, error)) return false;
    if (access(path.c_str(), W_OK) != 0)
        return Refuse(error, std::string("not writable by you: ") + std::strerror(errno) + "; not replaced");
    target->path = path;
    target->exists = true;
    target->mode = mode;
    target->owner = static_cast<long>(status.st_uid);
    target->group = static_cast<long>(status.st_gid);
    target->names = static_cast<unsigned long>(status.st_nlink);
    target->device = static_cast<unsigned long long>(status.st_dev);
    target->fileNumber = static_cast<unsigned long long>(status.st_ino);
    target->size = static_cast<long long>(status.st_size);
    target->written = Nanoseconds(status.st_mtim);
    target->changed = Nanoseconds(status.st_ctim);
    // Another name would keep the old file if a new one took this name.
    target->writeOver = status.st_nlink > 1;
    return true;
}

// The owner only a privileged process may give away; the group the owner may
// also set, to one of their own groups. The set-user-ID and set-group-ID
// bits are not carried over: an image has no use for them. The attributes
// come before the bits: the ACL the new file got from its folder's default
// ACL names people the old file may shut out, and the bits' group part,
// once wider, would let them in (as its mask) until it was removed. The
// bits then match the old file's ACL, whose mask they are.
bool TakeOverOwnerAndMode(const SaveTarget &target, int descriptor) {
    if (!target.exists) return fchmod(descriptor, NewFileBits(target.path)) == 0;
    const uid_t owner = static_cast<uid_t>(target.owner);
    const gid_t group = static_cast<gid_t>(target.group);
    return fchown(descriptor, owner, group) == 0 && CopyExtendedAttributes(target.path, descriptor) &&
           fchmod(descriptor, static_cast<mode_t>(target.mode) & 01777) == 0;
}
