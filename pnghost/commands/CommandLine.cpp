#include "pnghost/commands/CommandLine.h"

#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

enum { kOpen = 1, kSave = 2, kView = 4 };

struct OptionRule {
    const char *name;
    int commands;  // kOpen, kSave, kView or several
    bool takesValue;
};

const OptionRule kOptionRules[] = {
    {"--out", kOpen, true},           {"--palette-out", kOpen, true},    {"--pam", kOpen, true},
    {"--json", kOpen, false},         {"--monitor-gamma", kOpen | kSave | kView, true},
    {"--without", kOpen | kSave, true}, {"--fail-row", kOpen | kSave, true},
    {"--interlace", kSave, false},    {"--file-info", kSave, false},     {"--speed", kSave, false},
    {"--fast", kSave, false},         {"--size", kSave, false},          {"--filter", kSave, true},
    {"--cancel", kSave, false},       {"--iptc", kSave, true},           {"--date", kSave, true},
    {"--resources", kSave, true},     {"--dpi", kSave, true},            {"--host-signature", kSave, true},
    {"--palette", kSave, true},       {"--fail-paint", kView, false},
};

const char *const kFilterNames[] = {"None", "Sub", "Up", "Average", "Paeth", "Adaptive"};

// The host's own code for a row it cannot move, answered by --fail-row.
const int16_t kHostRowFailure = -1;

const OptionRule *FindRule(const std::string &word) {
    for (const OptionRule &rule : kOptionRules)
        if (word == rule.name) return &rule;
    return nullptr;
}

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
    else if (name == "progress") faults->withoutProgress = true;
    else if (name == "abort-test") faults->withoutAbortTest = true;
    else return false;
    return true;
}

bool IsDigits(const std::string &text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A whole number from first to last; false for anything else.
bool WholeNumber(const std::string &text, long first, long last, long *value) {
    if (!IsDigits(text) || text.size() > 9) return false;
    *value = std::atol(text.c_str());
    return *value >= first && *value <= last;
}

std::string TakeDataset(const std::string &value, SaveRequest *save) {
    const size_t equals = value.find('=');
    long number = 0;
    if (equals == std::string::npos || !WholeNumber(value.substr(0, equals), 0, 255, &number))
        return "--iptc takes DATASET=TEXT with a dataset number from 0 to 255";
    if (value.size() - equals - 1 > 32767) return "--iptc text longer than 32767 bytes";
    save->datasets.push_back(IptcDataset{static_cast<int>(number), value.substr(equals + 1)});
    return "";
}

std::string TakeDate(const std::string &value, SaveRequest *save) {
    long month = 0, day = 0;
    if (value.size() != 8 || !IsDigits(value) || !WholeNumber(value.substr(4, 2), 1, 12, &month) ||
        !WholeNumber(value.substr(6, 2), 1, 31, &day))
        return "--date takes YYYYMMDD, e.g. 19960305";
    save->datasets.push_back(IptcDataset{55, value});  // Date Created
    return "";
}

std::string TakeMonitorGamma(const std::string &value, Command *command) {
    char *end = nullptr;
    const double gamma = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !std::isfinite(gamma) || std::fabs(gamma) >= 32768.0)
        return "--monitor-gamma takes a real number, e.g. 2.2";
    command->monitorGammaSet = true;
    command->monitorGamma = ToFixed(gamma);
    return "";
}

// Sets what one option asks; an empty string, or what is wrong with it.
std::string Apply(const std::string &option, const std::string &value, Command *command) {
    OpenRequest &open = command->open;
    SaveRequest &save = command->save;
    long number = 0;
    if (option == "--out") open.outPath = value;
    else if (option == "--palette-out") open.palettePath = value;
    else if (option == "--pam") open.pamPath = value;
    else if (option == "--json") open.json = true;
    else if (option == "--monitor-gamma") return TakeMonitorGamma(value, command);
    else if (option == "--without") {
        if (!WithholdService(value, &command->faults)) return "unknown service '" + value + "'";
    } else if (option == "--fail-row") {
        if (!WholeNumber(value, 0, 32767, &number)) return "--fail-row takes a row number from 0";
        command->faults.advanceStateErrorCall = static_cast<int32_t>(number);
        command->faults.advanceStateError = kHostRowFailure;
    } else if (option == "--fail-paint") command->view.failPaints = true;
    else if (option == "--interlace") save.choices.interlace = true;
    else if (option == "--file-info") save.choices.writeFileInfo = true;
    else if (option == "--speed" || option == "--fast") save.choices.bestSpeed = true;
    else if (option == "--size") save.choices.bestSpeed = false;
    else if (option == "--cancel") save.choices.cancel = true;
    else if (option == "--filter") {
        save.choices.filterEntry = FilterEntry(value);
        if (save.choices.filterEntry < 0) return "unknown filter '" + value + "'";
    } else if (option == "--iptc") return TakeDataset(value, &save);
    else if (option == "--date") return TakeDate(value, &save);
    else if (option == "--resources") save.resourcesPath = value;
    else if (option == "--palette") save.palettePath = value;
    else if (option == "--dpi") {
        if (!WholeNumber(value, 1, 32767, &number)) return "--dpi takes a whole number from 1 to 32767";
        save.dpi = static_cast<int>(number);
    } else if (option == "--host-signature") {
        if (value.size() != 4) return "--host-signature takes four characters, e.g. 8BIM";
        command->hostSignature = HOST_FOURCC(value[0], value[1], value[2], value[3]);
    }
    return "";
}

std::string CheckOperands(Command *command) {
    const std::vector<std::string> &operands = command->operands;
    const size_t count = operands.size();
    if (command->name == "probe" && count == 0) return "probe needs at least one file";
    if (command->name == "open" && count != 1) return "open needs one file";
    if (command->name == "save" && count != 2) return "save needs an input and an output file";
    if ((command->name == "pipl" || command->name == "about") && count != 0) return command->name + " takes no files";
    if (command->name == "view" && count > 1) return "view takes at most one file";
    if (command->name == "open") command->open.path = operands[0];
    if (command->name == "view" && count == 1) command->view.path = operands[0];
    if (command->name == "save") {
        command->save.inPath = operands[0];
        command->save.outPath = operands[1];
    }
    return "";
}

}  // namespace

bool KnownCommand(const std::string &name) {
    return name == "probe" || name == "open" || name == "save" || name == "pipl" || name == "about" ||
           name == "view";
}

std::string ParseCommand(const std::vector<std::string> &words, Command *command) {
    const int applies = command->name == "open"   ? kOpen
                        : command->name == "save" ? kSave
                        : command->name == "view" ? kView
                                                  : 0;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word.rfind("--", 0) != 0) {
            command->operands.push_back(word);
            continue;
        }
        const OptionRule *rule = FindRule(word);
        if (rule == nullptr) return "unknown option '" + word + "'";
        if ((rule->commands & applies) == 0) return word + " does not go with " + command->name;
        if (rule->takesValue && i + 1 >= words.size()) return word + " needs a value";
        const std::string problem = Apply(word, rule->takesValue ? words[++i] : std::string(), command);
        if (!problem.empty()) return problem;
    }
    return CheckOperands(command);
}
