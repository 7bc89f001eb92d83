// Files for the end-to-end suite: the PngSuite images, the suite's output
// folder, and whole-file reads.
#ifndef KORVANE_TESTS_E2E_SUITE_FILES_H
#define KORVANE_TESTS_E2E_SUITE_FILES_H

#include <cstdint>
#include <string>
#include <vector>

// The PngSuite's PNG file names, sorted.
std::vector<std::string> PngSuiteNames();
std::string PngSuitePath(const std::string &name);
// A path in the suite's output folder.
std::string OutputPath(const std::string &name);
std::vector<uint8_t> ReadBytes(const std::string &path);

#endif
