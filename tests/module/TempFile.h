// Real files for the module to read: written to a private directory and
// opened read-only, as the host opens the file it asks about.
#ifndef KORVANE_TESTS_TEMP_FILE_H
#define KORVANE_TESTS_TEMP_FILE_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t> &bytes) {
        char pattern[] = "/tmp/korvane-test-XXXXXX";
        const int file = mkstemp(pattern);
        path_ = pattern;
        if (file >= 0) {
            if (!bytes.empty() && write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
                path_.clear();
            close(file);
        }
        descriptor_ = open(path_.c_str(), O_RDONLY);
    }
    explicit TempFile(const std::string &text) : TempFile(std::vector<uint8_t>(text.begin(), text.end())) {}
    ~TempFile() {
        if (descriptor_ >= 0) close(descriptor_);
        if (!path_.empty()) unlink(path_.c_str());
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    int descriptor() const { return descriptor_; }
    const std::string &path() const { return path_; }
    off_t position() const { return lseek(descriptor_, 0, SEEK_CUR); }

private:
    std::string path_;
    int descriptor_ = -1;
};

inline std::vector<uint8_t> ReadWholeFile(const std::string &path) {
    std::vector<uint8_t> bytes;
    const int file = open(path.c_str(), O_RDONLY);
    if (file < 0) return bytes;
    uint8_t chunk[4096];
    ssize_t got;
    while ((got = read(file, chunk, sizeof chunk)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    close(file);
    return bytes;
}

#endif
