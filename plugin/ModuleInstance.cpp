#include "plugin/ModuleInstance.h"

namespace {
HINSTANCE gModuleInstance = nullptr;
}

void SetModuleInstance(HINSTANCE instance) { gModuleInstance = instance; }

HINSTANCE ModuleInstance() { return gModuleInstance; }
