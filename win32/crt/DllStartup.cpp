// Linked into every module built for Linux: calls the module's DllMain when
// the shared object is loaded and unloaded, as the Windows loader does, with
// the module's load address as its instance handle.
#include <windows.h>

#include <dlfcn.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE ThisModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&ThisModule), &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void AttachModule() { DllMain(ThisModule(), DLL_PROCESS_ATTACH, nullptr); }

__attribute__((destructor)) void DetachModule() { DllMain(ThisModule(), DLL_PROCESS_DETACH, nullptr); }

}  // namespace
