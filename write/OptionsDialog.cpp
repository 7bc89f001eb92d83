#include "write/OptionsDialog.h"

#include "plugin/Exports.h"
#include "plugin/ModuleInstance.h"
#include "resources/ResourceIds.h"
#include "write/CenterDialog.h"

namespace {

// The dialog procedure is called by the system and cannot see the state
// block, so the values cross over through these.
int gDialogImageMode = 0;
int gDialogInterlace = 0;
int gDialogWriteFileInfo = 0;
int gDialogCompressionLevel = 9;
int gDialogFilter = 0;

const char *const kFilterNames[] = {"None", "Sub", "Up", "Average", "Paeth", "Adaptive"};
enum { kFilterNone = 0, kFilterAdaptiveEntry = 5, kFilterChoiceAllFive = 7 };

void InitializeControls(HWND dialog) {
    CenterDialogOnParent(dialog);

    // Inserted at fixed positions, the list keeps this order although the
    // box carries the sort style.
    HWND list = GetDlgItem(dialog, IDC_FILTER_LIST);
    for (int i = 0; i < 6; ++i)
        SendMessageA(list, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(kFilterNames[i]));
    SendMessageA(list, CB_SETCURSEL, kFilterAdaptiveEntry, 0);

    CheckRadioButton(dialog, IDC_BEST_SPEED, IDC_BEST_SIZE, IDC_BEST_SIZE);

    // Row filters only pay off on continuous-tone images.
    if (gDialogImageMode != kModeGrayscale && gDialogImageMode != kModeRGB) {
        SendMessageA(list, CB_SETCURSEL, kFilterNone, 0);
        EnableWindow(list, FALSE);
    }

    SendMessageA(GetDlgItem(dialog, IDC_INTERLACE), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(dialog, IDC_WRITE_FILE_INFO), BM_SETCHECK, BST_UNCHECKED, 0);
    if (gDialogImageMode == kModeBitmap) EnableWindow(GetDlgItem(dialog, IDC_INTERLACE), FALSE);
}

void CollectChoices(HWND dialog) {
    gDialogCompressionLevel = IsDlgButtonChecked(dialog, IDC_BEST_SPEED) == BST_CHECKED ? 1 : 9;
    gDialogInterlace = static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_INTERLACE), BM_GETCHECK, 0, 0));
    gDialogFilter = static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_FILTER_LIST), CB_GETCURSEL, 0, 0));
    gDialogWriteFileInfo =
        static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_WRITE_FILE_INFO), BM_GETCHECK, 0, 0));
}

}  // namespace

extern "C" INT_PTR CALLBACK OptionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            InitializeControls(dialog);
            return TRUE;
        case WM_COMMAND:
            if (wParam == IDOK) {
                CollectChoices(dialog);
                EndDialog(dialog, IDOK);
            } else if (wParam == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

void RunOptionsDialog(PluginState &state) {
    gDialogImageMode = state.hostBlock->imageMode;
    const INT_PTR ended =
        DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), GetActiveWindow(), OptionProc, 0);
    if (ended != IDOK) {
        RecordResult(state, kResultUserCancelled);
        return;
    }
    state.interlace = static_cast<uint32_t>(gDialogInterlace);
    state.compressionLevel = static_cast<uint32_t>(gDialogCompressionLevel);
    state.writeFileInfo = static_cast<uint32_t>(gDialogWriteFileInfo);
    // "Adaptive", and a list left without a selection, both mean the best of
    // all five filters per row.
    if (gDialogFilter > 4 || gDialogFilter < 0) gDialogFilter = kFilterChoiceAllFive;
    state.filterChoice = static_cast<uint32_t>(gDialogFilter);
}
