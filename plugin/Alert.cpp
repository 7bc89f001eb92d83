#include "plugin/Alert.h"

#include <windows.h>

#include "plugin/ModuleInstance.h"
#include "resources/ResourceIds.h"

void ShowAlertString(int16_t id) {
    char text[256] = "";
    char caption[128] = "";
    LoadStringA(ModuleInstance(), static_cast<uint16_t>(id), text, sizeof text);
    LoadStringA(ModuleInstance(), IDS_ALERT_CAPTION, caption, sizeof caption);
    MessageBoxA(nullptr, text, caption, MB_ICONHAND);
}
