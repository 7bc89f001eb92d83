// The module's open and save through the test host, with a host that does
// the least a host must: advance-state moves nothing on an open (the rows
// are dropped, as the bare decode drops them) and copies one row into the
// module's buffer on a save. Peak memory is the module's: its global memory
// and the host buffers it asked for, each at its highest.
#ifndef KORVANE_BENCH_MODULE_STEPS_H
#define KORVANE_BENCH_MODULE_STEPS_H

#include <cstddef>

#include "pnghost/host/PluginHost.h"

struct ModuleRun {
    bool ok = false;
    double seconds = 0;     // filter-file to read-finish, or write-start to write-finish
    size_t peakBytes = 0;   // global memory above the state block's, plus host buffers
};

ModuleRun ModuleOpen(HostSession *session, int file);
// Saves session->image; fast picks the options dialog's best-speed setting.
ModuleRun ModuleSave(HostSession *session, bool interlace, bool fast, int file);

#endif
