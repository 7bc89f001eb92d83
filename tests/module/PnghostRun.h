// Running the pnghost program as a person or a script runs it: a shell
// command line, its output, messages and exit status.
#ifndef KORVANE_TESTS_PNGHOST_RUN_H
#define KORVANE_TESTS_PNGHOST_RUN_H

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "TempFile.h"

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

inline std::string Slurp(const std::string &path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs a shell command line, stdout and stderr kept apart.
inline CommandRun RunShell(const std::string &commandLine) {
    TempFile errors(std::string{});
    const std::string command = "(" + commandLine + ") 2>" + errors.path();
    CommandRun run{-1, "", ""};
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = Slurp(errors.path());
    return run;
}

inline CommandRun Pnghost(const std::string &arguments) { return RunShell(std::string(PNGHOST_PATH) + " " + arguments); }

#endif
