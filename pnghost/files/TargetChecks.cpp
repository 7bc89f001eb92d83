// The checks of a save's target, made again before the new image goes in,
// and on the file opened to be written over.
#include "pnghost/files/TargetChecks.h"

// The checks are the same whether the save finds the destination first or
// again: only what it finds is compared.
bool StillAsItWas(const std::string &destination, const SaveTarget &then, SaveTarget *now, std::string *error) {
    if (FindSaveTarget(destination, now, error)) return IsTheFileFound(then, *now, error);
    *error += " (it changed during the save)";
    return false;
}

bool IsTheFileFound(const SaveTarget &then, const SaveTarget &now, std::string *error) {
    if (now.exists != then.exists || now.path != then.path || now.device != then.device ||
        now.fileNumber != then.fileNumber)
        *error = then.exists ? "replaced by another file during the save: not replaced"
                             : "created by another program during the save: not replaced";
    else if (now.names != then.names)
        *error = "its names went from " + std::to_string(then.names) + " to " + std::to_string(now.names) +
                 " during the save: not replaced";
    else
        return true;
    return false;
}

bool StatusAsFound(const SaveTarget &then, const SaveTarget &now, std::string *error) {
    if (now.size == then.size && now.written == then.written && now.changed == then.changed) return true;
    *error = "changed by another program during the save: not replaced";
    return false;
}

bool StillUnchanged(const SaveTarget &then, std::string *error) {
    SaveTarget now;
    return StillAsItWas(then.path, then, &now, error) && StatusAsFound(then, now, error);
}
