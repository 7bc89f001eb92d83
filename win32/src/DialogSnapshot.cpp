#include "DialogSnapshot.h"

#include "TextConversion.h"

namespace win32 {

namespace {

constexpr size_t kMaxItems = kWin32MaxItems;

// Only the entries that fit in the snapshot are shown.
Win32ControlState ControlStateOf(const Window &control) {
    Win32ControlState state{};
    state.id = control.control.id;
    CopyTruncated(state.className, sizeof state.className, control.control.className);
    CopyTruncated(state.text, sizeof state.text, control.text);
    state.style = control.style;
    state.enabled = control.enabled;
    state.checked = control.control.checked;
    const std::vector<std::string> &items = control.control.items;
    const size_t shown = items.size() < kMaxItems ? items.size() : kMaxItems;
    for (size_t i = 0; i < shown; ++i) CopyTruncated(state.items[i], sizeof state.items[i], items[i]);
    state.itemCount = static_cast<int>(shown);
    state.selection = control.control.selection;
    state.rect = ScreenRectOf(control);
    return state;
}

}  // namespace

Win32DialogState SnapshotOf(const Window &dialog) {
    Win32DialogState state{};
    state.templateId = dialog.dialog.templateId;
    CopyTruncated(state.caption, sizeof state.caption, dialog.text);
    state.style = dialog.style;
    state.owner = dialog.parent;
    state.rect = dialog.rect;
    for (HWND handle : dialog.dialog.controls) {
        const Window *control = LookUpWindow(handle);
        if (control == nullptr || state.controlCount == kWin32MaxControls) continue;
        state.controls[state.controlCount++] = ControlStateOf(*control);
    }
    state.ended = dialog.dialog.ended;
    state.endResult = dialog.dialog.endResult;
    return state;
}

}  // namespace win32
