// ENTRYPOINT: creates the state block on the first call, runs the selector's
// step on a working copy and writes the copy back.
#include "plugin/Dispatch.h"
#include "plugin/Exports.h"
#include "plugin/LocalHandle.h"
#include "plugin/PluginState.h"

namespace {

// The block lives in a module handle whose address the host keeps for us.
PluginState *ObtainStateBlock(intptr_t *hostData) {
    if (*hostData == 0) {
        HostHandle block = LocalHandleNew(sizeof(PluginState));
        if (block == nullptr) return nullptr;
        *hostData = reinterpret_cast<intptr_t>(block);
    }
    return static_cast<PluginState *>(reinterpret_cast<HostHandle>(*hostData)->data);
}

}  // namespace

extern "C" void HOSTAPI ENTRYPOINT(int32_t selector, void *parameters, intptr_t *hostData, int16_t *result) {
    if (result == nullptr || hostData == nullptr) return;
    PluginState *persistent = ObtainStateBlock(hostData);
    if (persistent == nullptr) {
        *result = kResultOutOfMemory;
        return;
    }
    PluginState work = *persistent;
    work.hostBlock = static_cast<HostFormatBlock *>(parameters);
    work.result = kResultNoError;
    DispatchSelector(work, static_cast<int16_t>(selector & 0xFFFF));
    *result = work.result;
    *persistent = work;
}
