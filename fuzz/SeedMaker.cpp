// fuzz_seeds PNGSUITE_DIR OUT_DIR: writes the seed inputs of every target
// into OUT_DIR/open, OUT_DIR/fileinfo-export, OUT_DIR/fileinfo-import,
// OUT_DIR/open-diff and OUT_DIR/save-roundtrip.
#include <sys/stat.h>

#include <cstdio>

#include "fuzz/Seeds.h"

namespace {

bool WriteSeeds(const std::string &dir, const std::vector<Seed> &seeds) {
    mkdir(dir.c_str(), 0755);
    for (const Seed &seed : seeds) {
        FILE *file = std::fopen((dir + "/" + seed.name).c_str(), "wb");
        if (file == nullptr) return false;
        const bool written = std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file) == seed.bytes.size();
        if (std::fclose(file) != 0 || !written) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds PNGSUITE_DIR OUT_DIR\n");
        return 2;
    }
    const std::string out = argv[2];
    mkdir(out.c_str(), 0755);
    const bool written = WriteSeeds(out + "/open", OpenSeeds(argv[1])) &&
                         WriteSeeds(out + "/fileinfo-export", FileInfoExportSeeds()) &&
                         WriteSeeds(out + "/fileinfo-import", FileInfoImportSeeds()) &&
                         WriteSeeds(out + "/open-diff", OpenDiffSeeds(argv[1])) &&
                         WriteSeeds(out + "/save-roundtrip", SaveRoundTripSeeds());
    if (!written) std::perror("fuzz_seeds");
    return written ? 0 : 1;
}
