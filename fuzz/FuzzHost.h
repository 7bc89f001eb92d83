// The test host as the fuzz targets and their replay test use it: one
// session on the real module for the whole run, files handed over as
// memory-backed descriptors, and the check that a finished operation left
// nothing behind.
#ifndef KORVANE_FUZZ_FUZZ_HOST_H
#define KORVANE_FUZZ_FUZZ_HOST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/host/PluginHost.h"

struct FuzzHost {
    HostSession session;
    // Global blocks alive once the module's state block exists: what every
    // operation must come back to.
    size_t baselineBlocks = 0;
};

// Loads the module and makes its state block. False with a reason on failure.
bool StartFuzzHost(FuzzHost *host, const std::string &modulePath, std::string *error);
void StopFuzzHost(FuzzHost *host);

// An anonymous in-memory file holding bytes, positioned at its start; -1 when
// the system refuses one.
int MemoryFile(const char *name, const uint8_t *bytes, size_t size);
std::vector<uint8_t> MemoryFileBytes(int file);
// An empty in-memory file that the system lets grow to `room` bytes and no
// further, as a disk that fills there; -1 when the system refuses one. Its
// bytes read back as `room` long, zeros past what was written.
int FileThatStopsGrowing(const char *name, size_t room);

// Empty when the module left the host as it found it after an operation: no
// global block past the baseline, no host buffer, no host handle, no misuse
// of the host's services; else what it left.
std::string LeftBehind(FuzzHost *host);

// What a driver reports: empty when the module kept every rule, else the
// broken rule. The fuzz targets abort on it, the replay test fails on it.
using FuzzProblem = std::string;

// A problem of the harness's own making (it could not make the files or the
// host state its check needs), marked so that the report does not blame the
// module for it.
FuzzProblem HarnessFault(const std::string &what);
bool IsHarnessFault(const FuzzProblem &problem);

FuzzProblem RunOpenInput(FuzzHost *host, const uint8_t *data, size_t size);
FuzzProblem RunFileInfoExportInput(FuzzHost *host, const uint8_t *data, size_t size);
FuzzProblem RunFileInfoImportInput(FuzzHost *host, const uint8_t *data, size_t size);
FuzzProblem RunOpenDiffInput(FuzzHost *host, const uint8_t *data, size_t size);
FuzzProblem RunSaveRoundTripInput(FuzzHost *host, const uint8_t *data, size_t size);

#endif
