#include "plugin/LocalHandle.h"

#include "plugin/GlobalBlock.h"

HostHandle LocalHandleNew(int32_t size) {
    if (size < 0) return nullptr;
    auto *master = static_cast<HostHandle>(AllocateGlobalBlock(sizeof(HostHandleRecord)));
    if (master == nullptr) return nullptr;
    master->data = AllocateGlobalBlock(static_cast<size_t>(size));
    if (master->data == nullptr) {
        // Without its data block the master record is of no use to anyone.
        ReleaseGlobalBlock(master);
        return nullptr;
    }
    return master;
}

void LocalHandleDispose(HostHandle handle) {
    if (handle == nullptr) return;
    ReleaseGlobalBlock(handle->data);
    ReleaseGlobalBlock(handle);
}
