// A module session whose state block exists before the sweep starts, and
// the one check every sweep makes after each operation: nothing of the
// module's is left alive.
#ifndef KORVANE_TESTS_SWEEPS_SWEEP_FIXTURE_H
#define KORVANE_TESTS_SWEEPS_SWEEP_FIXTURE_H

#include <sys/mman.h>
#include <unistd.h>

#include "ModuleFixture.h"

class SweepTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        CreatedState();
        baselineBlocks = Win32LiveGlobalBlocks();
    }

    // Empty when the operation left no global block past the state block's
    // baseline, no host buffer, no host handle and no misuse of the host.
    std::string LeftBehind() {
        std::string left;
        if (Win32LiveGlobalBlocks() != baselineBlocks)
            left += std::to_string(Win32LiveGlobalBlocks() - baselineBlocks) + " global blocks; ";
        if (!session.buffers.empty()) left += std::to_string(session.buffers.size()) + " host buffers; ";
        if (!session.handles.empty()) left += std::to_string(session.handles.size()) + " host handles; ";
        for (const std::string &misuse : session.protocolErrors) left += misuse + "; ";
        session.protocolErrors.clear();
        return left;
    }

    size_t baselineBlocks = 0;
};

// An anonymous file holding bytes, at its start.
inline int MemoryFile(const std::vector<uint8_t> &bytes) {
    const int file = memfd_create("sweep", 0);
    if (file >= 0 && !bytes.empty() && write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        close(file);
        return -1;
    }
    if (file >= 0) lseek(file, 0, SEEK_SET);
    return file;
}

#endif
