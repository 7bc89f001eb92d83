#include <cstdio>

#include "BuildVersion.h"
#include "pnghost/commands/Commands.h"
#include "pnghost/host/ModuleLoader.h"

namespace {

// The module's about box. The module carries no version resource: its about
// box is where the editor's user reads its version.
const int kAboutDialogId = 16000;

// The about box's "Version ..." text: the template's strings are UTF-16 and
// start on even offsets, so the printable runs ended by a zero are its texts.
std::string AboutBoxVersion(const LoadedModule &module) {
    const uint8_t *bytes = nullptr;
    size_t size = 0;
    if (!FindModuleResource(module, RT_DIALOG, kAboutDialogId, &bytes, &size)) return "";
    std::string text;
    for (size_t at = 0; at + 1 < size; at += 2) {
        const unsigned unit = bytes[at] | bytes[at + 1] << 8;
        if (unit >= 0x20 && unit < 0x7F) {
            text += static_cast<char>(unit);
            continue;
        }
        if (unit == 0 && text.rfind("Version ", 0) == 0) return text;
        text.clear();
    }
    return "";
}

}  // namespace

int RunVersionCommand(const std::string &modulePath) {
    std::printf("pnghost %s (commit %s)\n", KORVANE_VERSION_TEXT, KORVANE_BUILD_COMMIT);
    LoadedModule module;
    std::string error;
    if (!OpenModuleLibrary(modulePath, &module, &error)) {
        std::fprintf(stderr, "pnghost: %s: cannot load the module: %s\n", modulePath.c_str(), error.c_str());
        return 2;
    }
    const std::string version = AboutBoxVersion(module);
    CloseModuleLibrary(&module);
    if (version.empty()) {
        std::fprintf(stderr, "pnghost: %s: its about box states no version\n", modulePath.c_str());
        return 2;
    }
    std::printf("module %s: %s\n", modulePath.c_str(), version.c_str());
    return 0;
}
