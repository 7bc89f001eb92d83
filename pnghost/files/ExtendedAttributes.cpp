// Copying extended attributes and ACLs between files, through the xattr calls.
#include "pnghost/files/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <vector>

namespace {

// The attribute names as listxattr gives them, or false when they cannot
// be listed; a file system without attributes has none.
bool ListNames(ssize_t (*list)(const void *, char *, size_t), const void *file, std::vector<std::string> *names) {
    for (;;) {
        const ssize_t size = list(file, nullptr, 0);
        if (size < 0) return errno == ENOTSUP;
        std::vector<char> text(static_cast<size_t>(size) + 1);
        const ssize_t got = list(file, text.data(), static_cast<size_t>(size));
        if (got < 0 && errno == ERANGE) continue;  // one was added meanwhile
        if (got < 0) return false;
        for (ssize_t at = 0; at < got; at += static_cast<ssize_t>(names->back().size()) + 1)
            names->emplace_back(&text[static_cast<size_t>(at)]);
        return true;
    }
}

ssize_t ListOfPath(const void *path, char *names, size_t size) {
    return listxattr(static_cast<const char *>(path), names, size);
}

ssize_t ListOfDescriptor(const void *descriptor, char *names, size_t size) {
    return flistxattr(*static_cast<const int *>(descriptor), names, size);
}

bool CopyOne(const std::string &path, const std::string &name, int descriptor) {
    std::vector<char> value;
    return ReadExtendedAttribute(path, name, &value) &&
           fsetxattr(descriptor, name.c_str(), value.data(), value.size(), 0) == 0;
}

bool Contains(const std::vector<std::string> &names, const std::string &name) {
    for (const std::string &each : names)
        if (each == name) return true;
    return false;
}

}  // namespace

// One byte more than the value, so that even an empty one has an address.
bool ReadExtendedAttribute(const std::string &path, const std::string &name, std::vector<char> *value) {
    for (;;) {
        const ssize_t size = getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) return false;
        value->assign(static_cast<size_t>(size) + 1, 0);
        const ssize_t got = getxattr(path.c_str(), name.c_str(), value->data(), static_cast<size_t>(size));
        if (got < 0 && errno == ERANGE) continue;  // it grew meanwhile
        if (got < 0) return false;
        value->resize(static_cast<size_t>(got));
        return true;
    }
}

bool CopyExtendedAttributes(const std::string &path, int descriptor) {
    std::vector<std::string> old;
    std::vector<std::string> own;
    if (!ListNames(ListOfPath, path.c_str(), &old) || !ListNames(ListOfDescriptor, &descriptor, &own)) return false;
    for (const std::string &name : own)
        if (!Contains(old, name) && fremovexattr(descriptor, name.c_str()) != 0) return false;
    for (const std::string &name : old)
        if (!CopyOne(path, name, descriptor)) return false;
    return true;
}
