// The module's own instance handle, kept by the library entry routine and
// used to load the module's strings and dialog templates.
#ifndef KORVANE_MODULE_INSTANCE_H
#define KORVANE_MODULE_INSTANCE_H

#include <windows.h>

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

#endif
