#include "pnghost/host/ResultText.h"

#include "FormatHost.h"

std::string DescribeResult(int16_t result) {
    std::string text;
    switch (result) {
        case kResultNoError: text = "done"; break;
        case kResultUserCancelled: text = "stopped (cancelled, or a host service is missing)"; break;
        case kResultProbeReadError: text = "the file cannot be read"; break;
        case kResultWriteError: text = "the PNG file could not be written"; break;
        case kResultOutOfMemory: text = "out of memory"; break;
        case kResultBadSelector: text = "the module does not know this step"; break;
        // The module gives this one code for every file it cannot read, so
        // the words must hold for each of them.
        case kResultCannotRead:
            text = "the module cannot read this file: it is not a PNG file, or it is damaged, cut short, "
                   "or too large for the memory available";
            break;
        default: text = "error"; break;
    }
    return text + " (" + std::to_string(result) + ")";
}
