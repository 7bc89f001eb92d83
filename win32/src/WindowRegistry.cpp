#include "WindowRegistry.h"

#include <cstdint>
#include <map>
#include <memory>

namespace win32 {

namespace {

struct Registry {
    std::map<HWND, std::unique_ptr<Window>> windows;
    uintptr_t lastSerial = 0;
};

// Never destroyed: a module may still ask about a window while the process
// exits. The window system belongs to the host's one UI thread, as a modal
// dialog loop does on Windows, so it takes no lock.
Registry &TheRegistry() {
    static Registry *registry = new Registry;
    return *registry;
}

// Handles look like Windows' (small, even) and are never reused.
HWND NextHandle(Registry &registry) {
    registry.lastSerial += 2;
    return reinterpret_cast<HWND>(0x10000 + registry.lastSerial);
}

}  // namespace

HWND RegisterWindow(Window window) {
    Registry &registry = TheRegistry();
    window.handle = NextHandle(registry);
    const HWND handle = window.handle;
    registry.windows[handle] = std::make_unique<Window>(std::move(window));
    return handle;
}

Window *LookUpWindow(HWND handle) {
    const auto found = TheRegistry().windows.find(handle);
    return found == TheRegistry().windows.end() ? nullptr : found->second.get();
}

Window *LookUpWindow(HWND handle, WindowKind kind) {
    Window *window = LookUpWindow(handle);
    return (window && window->kind == kind) ? window : nullptr;
}

void UnregisterWindow(HWND handle) {
    Window *window = LookUpWindow(handle);
    if (window == nullptr) return;
    for (HWND control : window->dialog.controls) TheRegistry().windows.erase(control);
    TheRegistry().windows.erase(handle);
}

RECT ScreenRectOf(const Window &window) {
    if (window.kind == WindowKind::Desktop) return ScreenRect();
    const Window *parent = window.kind == WindowKind::Control ? LookUpWindow(window.parent) : nullptr;
    if (parent == nullptr) return window.rect;
    const LONG dx = parent->rect.left + parent->clientLeft;
    const LONG dy = parent->rect.top + parent->clientTop;
    return RECT{window.rect.left + dx, window.rect.top + dy, window.rect.right + dx, window.rect.bottom + dy};
}

}  // namespace win32
