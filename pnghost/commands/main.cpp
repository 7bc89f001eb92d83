// pnghost: runs a PNG format module as the image editor would.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "pnghost/commands/CommandLine.h"
#include "pnghost/commands/Commands.h"
#include "pnghost/files/StandardStreams.h"
#include "pnghost/host/Desktop.h"
#include "pnghost/host/InputFile.h"
#include "pnghost/host/ModuleLoader.h"
#include "pnghost/host/PluginHost.h"
#include "pnghost/window/Viewer.h"

namespace {

const char kUsage[] =
    "usage: pnghost [--module PATH] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  probe FILE...          tell for each file whether the module takes it for PNG\n"
    "                         (exit 0: all PNG, 1: one is not, 2: one cannot be read)\n"
    "  open FILE [options]    open FILE (- for standard input) through the module and\n"
    "                         describe the image:\n"
    "      --out OUT          write the planes the host received as netpbm (P4 bitmap,\n"
    "                         P5 grayscale or indices, P6 RGB, P7 with alpha)\n"
    "      --palette-out PAL  write the 256 look-up table entries as a 256x1 P6\n"
    "      --pam OUT          write the picture as a PAM file (indexed through its palette)\n"
    "      --json             print what the host received as one JSON object\n"
    "  save IN OUT [options]  take IN (PNG through the module, or netpbm P4, P5, P6, P7)\n"
    "                         into the host, then save it as OUT through the module's\n"
    "                         \"PNG Options\" dialog (exit 0: saved, 1: cancelled, 2: error;\n"
    "                         OUT is replaced only by a complete save, keeping its\n"
    "                         permissions, owner, ACL, attributes and links; - reads\n"
    "                         IN from standard input, writes OUT to standard output).\n"
    "                         The dialog:\n"
    "      --interlace        check Interlace\n"
    "      --file-info        check Write \"File Info\"\n"
    "      --speed, --fast    choose Best Speed; --size chooses Best Size (the default)\n"
    "      --filter NAME      choose None, Sub, Up, Average, Paeth or Adaptive\n"
    "      --cancel           press Cancel\n"
    "                         The host's image:\n"
    "      --palette PAL      a P5 is indexed: PAL's pixels (a P6) are the look-up tables\n"
    "                         (PAL, --resources FILE or IN may be - for standard input)\n"
    "      --iptc N=TEXT      File Info dataset N of record 2 (repeatable), e.g. 120=A caption\n"
    "      --date YYYYMMDD    File Info Date Created\n"
    "      --resources FILE   FILE's bytes as the image resources (before any File Info)\n"
    "      --dpi N            both resolutions (default 72, or the PNG's)\n"
    "      --host-signature CODE  the host's four-character code (default 8BIM)\n"
    "  open and save also take:\n"
    "      --monitor-gamma G  the monitor's gamma (default 0: no gamma correction)\n"
    "      --without SERVICE  offer the module no SERVICE: buffer-suite, handle-suite,\n"
    "                         advance-state, progress or abort-test, as an older\n"
    "                         host would\n"
    "      --fail-row N       fail the module's advance-state call N (from 0)\n"
    "  pipl                   print the module's property list, one property a line\n"
    "  about                  show the module's about box and click it away\n"
    "  view [FILE]            show FILE in a window (Windows only; the command pnghost.exe\n"
    "                         runs when given none): File > Open..., Save As..., File\n"
    "                         Info..., About PNG..., Exit, and the View menu's zoom; the\n"
    "                         person at the keyboard answers the dialogs.\n"
    "                         Takes --monitor-gamma G too, and --fail-paint: once the\n"
    "                         zoom changes, every paint of the image fails\n"
    "\n"
    "options:\n"
    "  --module PATH          the module to load (default: Korvane.8BI beside pnghost)\n"
    "  --version              print pnghost's version and commit and the module's version\n"
    "  --linger MS            look at each dialog and alert for MS milliseconds before\n"
    "                         acting, to watch it (Windows; on Linux there is no screen)\n";

int Usage(const std::string &complaint) {
    std::fprintf(stderr, "pnghost: %s\n%s", complaint.c_str(), kUsage);
    return 2;
}

int RunCommand(HostSession *session, const Command &command) {
    if (command.name == "probe") return RunProbeCommand(session, command.operands);
    if (command.name == "open") return RunOpenCommand(session, command.open);
    if (command.name == "save") return RunSaveCommand(session, command.save);
    if (command.name == "pipl") return RunPiplCommand(session);
    if (command.name == "view") return RunViewCommand(session, command.view);
    return RunAboutCommand(session);
}

// "-" as IN, --resources or --palette is standard input, staged in a file of
// the host's own; only one of them can be.
bool StageInputIfAsked(Command *command, std::string *error) {
    const std::pair<std::string *, uint64_t> inputs[] = {{&command->open.path, kLargestImageFile},
                                                         {&command->save.inPath, kLargestImageFile},
                                                         {&command->save.resourcesPath, kLargestResourcesFile},
                                                         {&command->save.palettePath, kLargestPaletteFile}};
    const std::pair<std::string *, uint64_t> *staged = nullptr;
    for (const auto &input : inputs) {
        if (*input.first != "-") continue;
        if (staged != nullptr) {
            *error = "standard input can be only one of IN, --resources and --palette";
            return false;
        }
        staged = &input;
    }
    return staged == nullptr || StageStandardInput(staged->first, staged->second, error);
}

// The host's settings from the command line: its faults, its signature and
// the monitor's gamma (the primaries stay sRGB's).
void SetUpHost(HostSession *session, const Command &command) {
    session->faults = command.faults;
    session->hostSignature = command.hostSignature;
    if (command.monitorGammaSet) session->monitor.gamma = command.monitorGamma;
}

}  // namespace

int main(int argc, char **argv) {
    HoldClosedStandardStreamsOpen();
#ifdef SIGPIPE
    // A module writing to a closed pipe must see a failed write, not die.
    // Windows has no such signal: there the write just fails.
    std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
    // Nor must a save past the file-size limit: it fails, and the file saved
    // over stays as it was.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    std::string modulePath = ModuleBesideProgram();
    bool versionAsked = false;
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool hasValue = arg + 1 < argc;
        if (std::strcmp(argv[arg], "--version") == 0) versionAsked = true;
        else if (std::strcmp(argv[arg], "--module") == 0 && hasValue) modulePath = argv[++arg];
        else if (std::strcmp(argv[arg], "--linger") == 0 && hasValue) SetPersonPace(std::atoi(argv[++arg]));
        else return Usage("unknown option");
    }
    if (versionAsked) return RunVersionCommand(modulePath);
    // Started with no command, as a double-click starts it, the Windows
    // build shows its window.
    if (arg >= argc && !ViewerAvailable()) return Usage("no command given");
    Command command;
    command.name = arg < argc ? argv[arg++] : "view";
    if (!KnownCommand(command.name)) return Usage("unknown command '" + command.name + "'");
    const std::string problem = ParseCommand(std::vector<std::string>(argv + arg, argv + argc), &command);
    if (!problem.empty()) return Usage(problem);

    std::string error;
    if (!StageInputIfAsked(&command, &error)) {
        std::fprintf(stderr, "pnghost: -: %s\n", error.c_str());
        RemoveStagedInput();
        return 2;
    }
    HostSession session;
    if (!OpenHostSession(&session, modulePath, &error)) {
        RemoveStagedInput();
        std::fprintf(stderr, "pnghost: %s: %s\n", modulePath.c_str(), error.c_str());
        return 2;
    }
    SetUpHost(&session, command);
    const int status = RunCommand(&session, command);
    CloseHostSession(&session);
    RemoveStagedInput();
    return status;
}
