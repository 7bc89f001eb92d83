#include "SuiteFiles.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>

std::vector<std::string> PngSuiteNames() {
    std::vector<std::string> names;
    if (DIR *directory = opendir(PNGSUITE_DIR)) {
        while (dirent *entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
        }
        closedir(directory);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string PngSuitePath(const std::string &name) { return std::string(PNGSUITE_DIR) + "/" + name; }

std::string OutputPath(const std::string &name) { return std::string(E2E_OUTPUT_DIR) + "/" + name; }

std::vector<uint8_t> ReadBytes(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}
