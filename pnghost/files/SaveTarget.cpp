// Finding the file a save replaces, and giving the new file what the old one
// carries, on Linux.
#include "pnghost/files/SaveTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "pnghost/files/AccessControlLists.h"
#include "pnghost/files/ExtendedAttributes.h"

namespace {

// As the kernel, which gives up after 40 links in a row.
const int kMostLinksFollowed = 40;

std::string FolderOf(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a symbolic link points to, relative to the link's folder.
bool ReadLink(const std::string &link, std::string *target) {
    char text[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), text, sizeof text - 1);
    if (length < 0) return false;
    const std::string pointed(text, static_cast<size_t>(length));
    *target = pointed[0] == '/' ? pointed : FolderOf(link) + pointed;
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

// Another's link in a folder anyone may write to and only owners delete
// from, such as /tmp, could send the save to any file the saver may write:
// the kernel follows it only for the saver or the folder's owner, and so
// does the save.
bool MayFollow(const std::string &link, const struct stat &status, std::string *error) {
    const std::string folder = FolderOf(link);
    struct stat shared {};
    if (stat(folder.empty() ? "." : folder.c_str(), &shared) != 0)
        return Refuse(error, std::string("cannot look at the link's folder: ") + std::strerror(errno));
    const bool sticky = (shared.st_mode & S_ISVTX) != 0 && (shared.st_mode & S_IWOTH) != 0;
    if (!sticky || status.st_uid == geteuid() || status.st_uid == shared.st_uid) return true;
    return Refuse(error, "a symbolic link of uid " + std::to_string(status.st_uid) +
                             " in a sticky folder anyone may write to: not followed (the kernel's rule, "
                             "fs.protected_symlinks); save to the file it names");
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

bool FindSaveTarget(const std::string &destination, SaveTarget *target, std::string *error) {
    *target = SaveTarget{};
    std::string path = destination;
    struct stat status {};
    for (int followed = 0;; ++followed) {
        if (lstat(path.c_str(), &status) != 0) {
            if (errno != ENOENT) return Refuse(error, std::string("cannot look at it: ") + std::strerror(errno));
            target->path = path;  // a new file, or one a dangling link names
            return true;
        }
        if (!S_ISLNK(status.st_mode)) break;
        if (followed == kMostLinksFollowed) return Refuse(error, "too many symbolic links in a row");
        if (!MayFollow(path, status, error)) return false;
        if (!ReadLink(path, &path)) return Refuse(error, std::string("cannot read the link: ") + std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode))
        return Refuse(error, std::string(KindOf(status.st_mode)) +
                                 ", not a regular file: a save writes a file on disk (use - for standard output)");
    const unsigned mode = status.st_mode & 07777;
    if ((mode & 0222) == 0)
        return Refuse(error, "read-only (mode " + Octal(mode) + "): not replaced; make it writable to save over it");
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
// come last, as setting the ACL sets the group bits to its mask.
bool TakeOverOwnerAndMode(const SaveTarget &target, int descriptor) {
    if (!target.exists) return fchmod(descriptor, NewFileBits(target.path)) == 0;
    const uid_t owner = static_cast<uid_t>(target.owner);
    const gid_t group = static_cast<gid_t>(target.group);
    return fchown(descriptor, owner, group) == 0 &&
           fchmod(descriptor, static_cast<mode_t>(target.mode) & 01777) == 0 &&
           CopyExtendedAttributes(target.path, descriptor);
}
