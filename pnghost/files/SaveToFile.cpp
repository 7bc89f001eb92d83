// Saving the host's image into a file through the module and the safe save:
// the file replaced only by a complete save, and what happened, in words.
#include "pnghost/files/SaveToFile.h"

#include <sys/stat.h>

#include "pnghost/host/Desktop.h"
#include "pnghost/host/ResultText.h"

namespace {

// Why the save did not happen, and the exit status: a person's Cancel is 1;
// a stop after the module's alert (a host service it needs is missing) and
// every failure are 2.
int Unsaved(const SaveFile &out, int16_t result, bool alerted, std::string *report) {
    const std::string kept = out.toStandardOutput ? "; nothing written"
                             : out.target.exists  ? "; " + out.destination + " is left as it was"
                                                  : "; nothing written";
    if (result == kResultUserCancelled && !alerted) {
        *report = out.destination + ": cancelled in the options dialog" + kept;
        return kCancelled;
    }
    *report = out.destination + ": " + DescribeResult(result) + kept;
    return kSaveError;
}

}  // namespace

int SaveIntoFile(HostSession *session, SaveFile *out, const SaveChoices &choices, std::string *report) {
    const std::string &path = out->destination;
    std::string error;
    const size_t alertsBefore = AlertsShown().size();
    session->progressLabel = "saving " + path;
    const int16_t result = SaveWithModule(session, out->descriptor, choices);
    session->progressLabel.clear();
    if (result != kResultNoError) {
        AbandonSave(out);
        return Unsaved(*out, result, AlertsShown().size() > alertsBefore, report);
    }
    struct stat written {};
    fstat(out->descriptor, &written);
    if (!FinishSave(out, &error)) {
        *report = path + ": " + error;
        return kSaveError;
    }
    *report = (out->toStandardOutput ? "standard output" : path) + ": saved, " + std::to_string(static_cast<long long>(written.st_size)) + " bytes";
    return kSaved;
}

int SaveToFile(HostSession *session, const std::string &path, const SaveChoices &choices, std::string *report) {
    SaveFile out;
    std::string error;
    if (!BeginSave(path, &out, &error)) {
        *report = path + ": " + error;
        return kSaveError;
    }
    return SaveIntoFile(session, &out, choices, report);
}
