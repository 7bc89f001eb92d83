// pnghost: runs a PNG format module as the image editor would.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pnghost/Commands.h"
#include "pnghost/ModuleLoader.h"
#include "pnghost/PluginHost.h"

namespace {

const char kUsage[] =
    "usage: pnghost [--module PATH] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  probe FILE...   tell for each file whether the module takes it for PNG\n"
    "                  (exit 0: all PNG, 1: one is not, 2: one cannot be read)\n"
    "  pipl            print the module's property list, one property a line\n"
    "  about           show the module's about box and click it away\n"
    "\n"
    "options:\n"
    "  --module PATH   the module to load (default: Korvane.8BI beside pnghost)\n";

int Usage(const char *complaint) {
    std::fprintf(stderr, "pnghost: %s\n%s", complaint, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    // A module writing to a closed pipe must see a failed write, not die.
    std::signal(SIGPIPE, SIG_IGN);

    std::string modulePath = ModuleBesideProgram();
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[arg], "--module") != 0 || arg + 1 >= argc) return Usage("unknown option");
        modulePath = argv[++arg];
    }
    if (arg >= argc) return Usage("no command given");
    const std::string command = argv[arg++];
    const std::vector<std::string> operands(argv + arg, argv + argc);

    if (command != "probe" && command != "pipl" && command != "about")
        return Usage(("unknown command '" + command + "'").c_str());
    if (command == "probe" && operands.empty()) return Usage("probe needs at least one file");

    HostSession session;
    std::string error;
    if (!OpenHostSession(&session, modulePath, &error)) {
        std::fprintf(stderr, "pnghost: %s: %s\n", modulePath.c_str(), error.c_str());
        return 2;
    }
    int status = 0;
    if (command == "probe") status = RunProbeCommand(&session, operands);
    if (command == "pipl") status = RunPiplCommand(&session);
    if (command == "about") status = RunAboutCommand(&session);
    CloseHostSession(&session);
    return status;
}
