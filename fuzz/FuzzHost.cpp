#include "fuzz/FuzzHost.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "win32_layer.h"

bool StartFuzzHost(FuzzHost *host, const std::string &modulePath, std::string *error) {
    Win32FailGlobalAllocation(0);
    if (!OpenHostSession(&host->session, modulePath, error)) return false;
    // options-continue does nothing but make the state block.
    CallSelector(&host->session, kSelectorOptionsContinue);
    host->baselineBlocks = Win32LiveGlobalBlocks();
    return true;
}

void StopFuzzHost(FuzzHost *host) { CloseHostSession(&host->session); }

int MemoryFile(const char *name, const uint8_t *bytes, size_t size) {
    const int file = memfd_create(name, 0);
    if (file < 0) return -1;
    size_t done = 0;
    while (done < size) {
        const ssize_t put = write(file, bytes + done, size - done);
        if (put <= 0) {
            close(file);
            return -1;
        }
        done += static_cast<size_t>(put);
    }
    lseek(file, 0, SEEK_SET);
    return file;
}

int FileThatStopsGrowing(const char *name, size_t room) {
    const int file = memfd_create(name, MFD_ALLOW_SEALING);
    if (file < 0) return -1;
    if (ftruncate(file, static_cast<off_t>(room)) != 0 || fcntl(file, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0) {
        close(file);
        return -1;
    }
    return file;
}

std::vector<uint8_t> MemoryFileBytes(int file) {
    std::vector<uint8_t> bytes;
    uint8_t piece[65536];
    off_t at = 0;
    ssize_t got;
    while ((got = pread(file, piece, sizeof piece, at)) > 0) {
        bytes.insert(bytes.end(), piece, piece + got);
        at += got;
    }
    return bytes;
}

namespace {
const char kHarnessMark[] = "could not make what the check needs: ";
}

FuzzProblem HarnessFault(const std::string &what) { return kHarnessMark + what; }

bool IsHarnessFault(const FuzzProblem &problem) { return problem.find(kHarnessMark) != std::string::npos; }

std::string LeftBehind(FuzzHost *host) {
    HostSession &session = host->session;
    std::string problem;
    const size_t live = Win32LiveGlobalBlocks();
    if (live != host->baselineBlocks)
        problem += std::to_string(live) + " global blocks live, " + std::to_string(host->baselineBlocks) +
                   " expected; ";
    if (!session.buffers.empty()) problem += std::to_string(session.buffers.size()) + " host buffers left; ";
    if (!session.handles.empty()) problem += std::to_string(session.handles.size()) + " host handles left; ";
    for (const std::string &misuse : session.protocolErrors) problem += "misuse: " + misuse + "; ";
    session.protocolErrors.clear();
    return problem;
}
