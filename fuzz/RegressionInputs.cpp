#include "fuzz/RegressionInputs.h"

#include <dirent.h>

#include <algorithm>

#include "tests/module/TempFile.h"

std::vector<Seed> RegressionInputs(const std::string &target) {
    const std::string dir = std::string(FUZZ_REGRESSIONS_DIR) + "/" + target;
    std::vector<Seed> inputs;
    if (DIR *directory = opendir(dir.c_str())) {
        while (dirent *entry = readdir(directory))
            if (entry->d_name[0] != '.') inputs.push_back({entry->d_name, ReadWholeFile(dir + "/" + entry->d_name)});
        closedir(directory);
    }
    std::sort(inputs.begin(), inputs.end(), [](const Seed &a, const Seed &b) { return a.name < b.name; });
    return inputs;
}
