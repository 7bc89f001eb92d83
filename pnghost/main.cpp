// pnghost: runs a PNG format module as the image editor would.
#include <strings.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pnghost/Commands.h"
#include "pnghost/Desktop.h"
#include "pnghost/ModuleLoader.h"
#include "pnghost/PluginHost.h"

namespace {

const char kUsage[] =
    "usage: pnghost [--module PATH] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  probe FILE...          tell for each file whether the module takes it for PNG\n"
    "                         (exit 0: all PNG, 1: one is not, 2: one cannot be read)\n"
    "  open FILE [--pam OUT]  open FILE through the module and describe the image;\n"
    "                         --pam writes the pixels the host received as a PAM file\n"
    "  save IN OUT [options]  open IN through the module, then save it as OUT through\n"
    "                         the module's \"PNG Options\" dialog, answered with:\n"
    "      --interlace        check Interlace\n"
    "      --file-info        check Write \"File Info\"\n"
    "      --fast             choose Best Speed (default Best Size)\n"
    "      --filter NAME      choose None, Sub, Up, Average, Paeth or Adaptive\n"
    "      --cancel           press Cancel\n"
    "  open and save also take:\n"
    "      --without SERVICE  offer the module no SERVICE: buffer-suite, handle-suite\n"
    "                         or advance-state, as an older host would\n"
    "  pipl                   print the module's property list, one property a line\n"
    "  about                  show the module's about box and click it away\n"
    "\n"
    "options:\n"
    "  --module PATH          the module to load (default: Korvane.8BI beside pnghost)\n"
    "  --linger MS            look at each dialog and alert for MS milliseconds before\n"
    "                         acting, to watch it (Windows; on Linux there is no screen)\n";

const char *const kFilterNames[] = {"None", "Sub", "Up", "Average", "Paeth", "Adaptive"};

int Usage(const std::string &complaint) {
    std::fprintf(stderr, "pnghost: %s\n%s", complaint.c_str(), kUsage);
    return 2;
}

struct Command {
    std::string name;
    std::vector<std::string> operands;
    std::string pamPath;
    SaveChoices choices;
    HostFaults faults;
};

int FilterEntry(const std::string &name) {
    for (int i = 0; i < 6; ++i)
        if (strcasecmp(name.c_str(), kFilterNames[i]) == 0) return i;
    return -1;
}

// Takes a host service away; false for a name that is none.
bool WithholdService(const std::string &name, HostFaults *faults) {
    if (name == "buffer-suite") faults->bufferOffer = SuiteOffer::Missing;
    else if (name == "handle-suite") faults->handleOffer = SuiteOffer::Missing;
    else if (name == "advance-state") faults->withoutAdvanceState = true;
    else return false;
    return true;
}

// Reads the command's operands and options; an empty string when they make
// sense, else what is wrong.
std::string ParseCommand(const std::vector<std::string> &words, Command *command) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        const bool hasValue = i + 1 < words.size();
        if (word == "--pam" && hasValue) command->pamPath = words[++i];
        else if (word == "--interlace") command->choices.interlace = true;
        else if (word == "--file-info") command->choices.writeFileInfo = true;
        else if (word == "--fast") command->choices.bestSpeed = true;
        else if (word == "--cancel") command->choices.cancel = true;
        else if (word == "--without" && hasValue) {
            if (!WithholdService(words[++i], &command->faults)) return "unknown service '" + words[i] + "'";
        } else if (word == "--filter" && hasValue) {
            command->choices.filterEntry = FilterEntry(words[++i]);
            if (command->choices.filterEntry < 0) return "unknown filter '" + words[i] + "'";
        } else if (word.rfind("--", 0) == 0) return "unknown option '" + word + "'";
        else command->operands.push_back(word);
    }
    const size_t count = command->operands.size();
    if (command->name == "probe" && count == 0) return "probe needs at least one file";
    if (command->name == "open" && count != 1) return "open needs one file";
    if (command->name == "save" && count != 2) return "save needs an input and an output file";
    if ((command->name == "pipl" || command->name == "about") && count != 0) return command->name + " takes no files";
    return "";
}

bool KnownCommand(const std::string &name) {
    return name == "probe" || name == "open" || name == "save" || name == "pipl" || name == "about";
}

int RunCommand(HostSession *session, const Command &command) {
    if (command.name == "probe") return RunProbeCommand(session, command.operands);
    if (command.name == "open") return RunOpenCommand(session, command.operands[0], command.pamPath);
    if (command.name == "save")
        return RunSaveCommand(session, command.operands[0], command.operands[1], command.choices);
    if (command.name == "pipl") return RunPiplCommand(session);
    return RunAboutCommand(session);
}

}  // namespace

int main(int argc, char **argv) {
#ifdef SIGPIPE
    // A module writing to a closed pipe must see a failed write, not die.
    // Windows has no such signal: there the write just fails.
    std::signal(SIGPIPE, SIG_IGN);
#endif

    std::string modulePath = ModuleBesideProgram();
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool hasValue = arg + 1 < argc;
        if (std::strcmp(argv[arg], "--module") == 0 && hasValue) modulePath = argv[++arg];
        else if (std::strcmp(argv[arg], "--linger") == 0 && hasValue) SetPersonPace(std::atoi(argv[++arg]));
        else return Usage("unknown option");
    }
    if (arg >= argc) return Usage("no command given");
    Command command;
    command.name = argv[arg++];
    if (!KnownCommand(command.name)) return Usage("unknown command '" + command.name + "'");
    const std::string problem = ParseCommand(std::vector<std::string>(argv + arg, argv + argc), &command);
    if (!problem.empty()) return Usage(problem);

    HostSession session;
    std::string error;
    if (!OpenHostSession(&session, modulePath, &error)) {
        std::fprintf(stderr, "pnghost: %s: %s\n", modulePath.c_str(), error.c_str());
        return 2;
    }
    session.faults = command.faults;
    const int status = RunCommand(&session, command);
    CloseHostSession(&session);
    return status;
}
