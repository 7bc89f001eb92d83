// Loading a plug-in module and reaching its exports and resources: the one
// place where the test host differs between Linux and Windows.
#ifndef PNGHOST_MODULE_LOADER_H
#define PNGHOST_MODULE_LOADER_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct LoadedModule {
    void *library = nullptr;     // dlopen handle, or the HMODULE on Windows
    HMODULE instance = nullptr;  // what the module's resource calls take
};

bool OpenModuleLibrary(const std::string &path, LoadedModule *module, std::string *error);
void CloseModuleLibrary(LoadedModule *module);
void *FindModuleExport(const LoadedModule &module, const char *name);

// The default module path: Korvane.8BI beside the running program.
std::string ModuleBesideProgram();

// The bytes of resource (type, id) of the module, or false when it has none.
bool FindModuleResource(const LoadedModule &module, const char *type, int id, const uint8_t **bytes,
                        size_t *size);

#endif
