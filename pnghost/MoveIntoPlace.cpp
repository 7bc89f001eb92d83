// rename(2) replaces the destination in one step.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "pnghost/SafeSaveFile.h"

bool MoveIntoPlace(const std::string &from, const std::string &to, std::string *error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    *error = std::string("cannot put the new file in place: ") + std::strerror(errno);
    return false;
}
