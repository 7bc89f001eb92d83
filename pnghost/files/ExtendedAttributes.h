// A file's extended attributes, its access control list among them
// (system.posix_acl_access): one read, or all carried from the file saved
// over to the new file that takes its place.
#ifndef PNGHOST_EXTENDED_ATTRIBUTES_H
#define PNGHOST_EXTENDED_ATTRIBUTES_H

#include <string>
#include <vector>

// The value of the file's attribute `name`; false when it has none or it
// cannot be read.
bool ReadExtendedAttribute(const std::string &path, const std::string &name, std::vector<char> *value);
// Gives the file open as `descriptor` exactly the attributes the file at
// `path` has: each of them copied, and any it has of its own (an ACL
// inherited from the folder's default ACL) removed. False when one cannot
// be read, set or removed.
bool CopyExtendedAttributes(const std::string &path, int descriptor);

#endif
