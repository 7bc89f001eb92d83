// On Windows rename() refuses an existing destination; MoveFileEx replaces it.
#include <windows.h>

#include "pnghost/SafeSaveFile.h"

bool MoveIntoPlace(const std::string &from, const SaveTarget &to, std::string *error) {
    if (MoveFileExA(from.c_str(), to.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    *error = "cannot put the new file in place (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
}
