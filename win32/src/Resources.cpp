// FindResourceA and friends over the .res embedded in each module. A module's
// parsed directory is kept until the module's resource bytes change place
// (the module was unloaded and something else loaded at its address).
#include "ModuleImage.h"
#include "ResourceDirectory.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using win32::ByteSpan;
using win32::ResourceEntry;

struct ModuleResources {
    ByteSpan bytes;
    std::vector<ResourceEntry> entries;
};

struct ResourceCache {
    std::mutex mutex;
    std::map<HMODULE, std::unique_ptr<ModuleResources>> modules;
};

// Never destroyed: modules may look up resources while the process exits.
ResourceCache &Cache() {
    static ResourceCache *cache = new ResourceCache;
    return *cache;
}

std::unique_ptr<ModuleResources> ParseModuleResources(HMODULE module, ByteSpan bytes) {
    auto parsed = std::make_unique<ModuleResources>();
    parsed->bytes = bytes;
    if (!win32::ParseResFile(bytes.data, bytes.size, parsed->entries))
        std::fprintf(stderr, "win32: the resources of module %p are damaged; only %zu entries before the damage are used\n",
                     static_cast<void *>(module), parsed->entries.size());
    return parsed;
}

// Call with the cache locked.
const ModuleResources &ResourcesOf(HMODULE module) {
    const ByteSpan bytes = win32::EmbeddedResources(module);
    std::unique_ptr<ModuleResources> &slot = Cache().modules[module];
    if (!slot || !(slot->bytes == bytes)) slot = ParseModuleResources(module, bytes);
    return *slot;
}

// The entry a resource handle names, when it is one of the module's entries.
const ResourceEntry *EntryOf(HMODULE module, HRSRC resource) {
    const std::vector<ResourceEntry> &entries = ResourcesOf(module).entries;
    const uintptr_t offset = reinterpret_cast<uintptr_t>(resource) - reinterpret_cast<uintptr_t>(entries.data());
    const size_t index = offset / sizeof(ResourceEntry);
    if (offset % sizeof(ResourceEntry) != 0 || index >= entries.size()) return nullptr;
    return &entries[index];
}

}  // namespace

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (name == nullptr || type == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(Cache().mutex);
    const ResourceEntry *entry = win32::FindEntry(ResourcesOf(module).entries, name, type);
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry *>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    std::lock_guard<std::mutex> lock(Cache().mutex);
    const ResourceEntry *entry = EntryOf(module, resource);
    return entry ? const_cast<BYTE *>(entry->data) : nullptr;
}

// Resource memory is the module's own image: "locking" it is the identity.
LPVOID WINAPI LockResource(HGLOBAL resource) { return resource; }

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    std::lock_guard<std::mutex> lock(Cache().mutex);
    const ResourceEntry *entry = EntryOf(module, resource);
    return entry ? entry->size : 0;
}
