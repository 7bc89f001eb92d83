#include "pnghost/host/ModuleLoader.h"

#if defined(_WIN32)

bool OpenModuleLibrary(const std::string &path, LoadedModule *module, std::string *error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        *error = "cannot load the module (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    module->library = library;
    module->instance = library;
    return true;
}

void CloseModuleLibrary(LoadedModule *module) {
    if (module->library != nullptr) FreeLibrary(static_cast<HMODULE>(module->library));
    *module = LoadedModule{};
}

void *FindModuleExport(const LoadedModule &module, const char *name) {
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module.library), name));
}

std::string ModuleBesideProgram() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path, length);
    const size_t slash = program.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + "Korvane.8BI";
}

#else

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>

#include "pnghost/host/InputFile.h"
#include "win32_layer.h"

bool OpenModuleLibrary(const std::string &path, LoadedModule *module, std::string *error) {
    // A path without a slash would send dlopen searching the library path;
    // the host means the file it was given.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    // Checked as every file the host reads is: dlopen would wait for a
    // FIFO's writer.
    const int file = OpenInputFile(where, kLargestModuleFile, error);
    if (file < 0) return false;
    close(file);
    void *library = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        *error = dlerror();
        return false;
    }
    struct link_map *map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) {
        *error = "cannot find where the module was loaded";
        dlclose(library);
        return false;
    }
    module->library = library;
    module->instance = Win32ModuleFromAddress(map->l_ld);
    return true;
}

void CloseModuleLibrary(LoadedModule *module) {
    if (module->library != nullptr) dlclose(module->library);
    *module = LoadedModule{};
}

void *FindModuleExport(const LoadedModule &module, const char *name) {
    // Only the module's own exports count, not those of the libraries it
    // pulls in.
    void *symbol = dlsym(module.library, name);
    if (symbol == nullptr || Win32ModuleFromAddress(symbol) != module.instance) return nullptr;
    return symbol;
}

std::string ModuleBesideProgram() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "Korvane.8BI";
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/') + 1) + "Korvane.8BI";
}

#endif

bool FindModuleResource(const LoadedModule &module, const char *type, int id, const uint8_t **bytes,
                        size_t *size) {
    HRSRC resource = FindResourceA(module.instance, MAKEINTRESOURCEA(id), type);
    if (resource == nullptr) return false;
    HGLOBAL loaded = LoadResource(module.instance, resource);
    if (loaded == nullptr) return false;
    *bytes = static_cast<const uint8_t *>(LockResource(loaded));
    *size = SizeofResource(module.instance, resource);
    return *bytes != nullptr;
}
