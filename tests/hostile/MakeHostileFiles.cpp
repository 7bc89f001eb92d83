// make_hostile_files DIR: writes every hostile file into DIR, for the
// benchmark that opens them.
#include <cstdio>

#include "HostileFiles.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_hostile_files DIR\n");
        return 2;
    }
    for (const HostileFile &file : AllHostileFiles()) {
        const std::string path = std::string(argv[1]) + "/" + file.name;
        FILE *out = std::fopen(path.c_str(), "wb");
        const bool written = out != nullptr && std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) == file.bytes.size();
        if (out == nullptr || std::fclose(out) != 0 || !written) {
            std::perror(path.c_str());
            return 1;
        }
        std::printf("%s: %zu bytes\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
