#include "ui/AboutBox.h"

#include "plugin/Exports.h"
#include "plugin/ModuleInstance.h"
#include "resources/ResourceIds.h"
#include "write/CenterDialog.h"

extern "C" INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CenterDialogOnParent(dialog);
            return TRUE;
        case WM_LBUTTONDOWN:
            EndDialog(dialog, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

void ShowAboutBox(const HostAboutRecord *record) {
    HWND parent = nullptr;
    if (record != nullptr && record->platformData != nullptr)
        parent = static_cast<HWND>(record->platformData->parentWindow);
    DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT), parent, AboutProc, 0);
}
