// Access control lists through their extended attributes: the kernel's
// format, a version word and then one entry of tag, permissions and id
// each, all little-endian, as on the machines pnghost runs on.
#include "pnghost/files/AccessControlLists.h"

#include <sys/xattr.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "pnghost/files/ExtendedAttributes.h"

namespace {

const uint32_t kVersion = 2;
const uint16_t kOwner = 0x01, kUser = 0x02, kOwningGroup = 0x04, kMask = 0x10, kOthers = 0x20;
const uint32_t kNoId = 0xffffffff;
const uint16_t kRead = 4, kReadWrite = 6;

struct Entry {
    uint16_t tag;
    uint16_t permissions;
    uint32_t id;
};

struct Acl {
    uint32_t version;
    Entry entries[5];
};

}  // namespace

bool BitsFromDefaultAcl(const std::string &folder, mode_t requested, mode_t *bits) {
    std::vector<char> value;
    if (!ReadExtendedAttribute(folder, "system.posix_acl_default", &value) || value.size() < sizeof(uint32_t))
        return false;
    mode_t owner = 0, group = 0, mask = 0, others = 0;
    bool masked = false;
    for (size_t at = sizeof(uint32_t); at + sizeof(Entry) <= value.size(); at += sizeof(Entry)) {
        Entry entry{};
        std::memcpy(&entry, &value[at], sizeof entry);
        if (entry.tag == kOwner) owner = entry.permissions;
        if (entry.tag == kOwningGroup) group = entry.permissions;
        if (entry.tag == kOthers) others = entry.permissions;
        if (entry.tag == kMask) {
            masked = true;
            mask = entry.permissions;
        }
    }
    *bits = ((owner << 6) | ((masked ? mask : group) << 3) | others) & requested;
    return true;
}

// The owner keeps reading and writing, the reader may read, nobody else
// anything: the mask lets the reader's entry through.
bool LetReadToo(int descriptor, uid_t reader) {
    const Acl acl = {kVersion,
                     {{kOwner, kReadWrite, kNoId},
                      {kUser, kRead, static_cast<uint32_t>(reader)},
                      {kOwningGroup, 0, kNoId},
                      {kMask, kRead, kNoId},
                      {kOthers, 0, kNoId}}};
    return fsetxattr(descriptor, "system.posix_acl_access", &acl, sizeof acl, 0) == 0;
}
