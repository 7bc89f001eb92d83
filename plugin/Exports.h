// The functions the module exports to the host under these exact names.
#ifndef KORVANE_EXPORTS_H
#define KORVANE_EXPORTS_H

#include <windows.h>

#include "FormatHost.h"

#if defined(_WIN32)
#define MODULE_EXPORT __declspec(dllexport)
#else
#define MODULE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
MODULE_EXPORT void HOSTAPI ENTRYPOINT(int32_t selector, void *parameters, intptr_t *hostData, int16_t *result);
MODULE_EXPORT INT_PTR CALLBACK OptionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
MODULE_EXPORT INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}

#endif
