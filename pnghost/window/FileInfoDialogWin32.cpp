// The File Info dialog, built in memory from a table of the datasets shown.
#include "pnghost/window/FileInfoDialogWin32.h"

#include <string>

#include "pnghost/formats/FileInfoResource.h"

namespace {

struct ShownDataset {
    int number;         // the dataset's number in record 2
    const char *label;  // its plain name, with the mnemonic
    int longest;        // the most bytes the module carries for it
};

// Every dataset the module reads from or writes to PNG texts, the ones a
// person most often fills in first.
const ShownDataset kShown[] = {
    {120, "&Caption:", 255},          {105, "&Headline:", 255},       {80, "&By-line:", 255},
    {85, "By-line &title:", 255},      {110, "C&redit:", 255},         {115, "&Source:", 255},
    {122, "&Writer/editor:", 255},     {5, "&Object name:", 255},      {40, "&Instructions:", 255},
    {90, "Cit&y:", 255},               {95, "&Province/state:", 255},  {101, "Cou&ntry:", 255},
    {55, "&Date created (YYYYMMDD):", 8},
};
const int kShownCount = static_cast<int>(sizeof kShown / sizeof kShown[0]);
const int kFirstEditId = 1000;

// The layout, in dialog units.
const short kMargin = 7, kLabelWidth = 96, kEditWidth = 200, kRowPitch = 16, kEditHeight = 12;
const short kButtonWidth = 50, kButtonHeight = 14;
const short kDialogWidth = kMargin + kLabelWidth + 4 + kEditWidth + kMargin;
const short kButtonTop = kMargin + kShownCount * kRowPitch + 4;
const short kDialogHeight = kButtonTop + kButtonHeight + kMargin;

// A dialog template in memory: 16-bit units, items aligned to four bytes.
class DialogTemplate {
public:
    DialogTemplate(const char *caption, short width, short height, int items) {
        const DWORD style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        AddDword(style);
        AddDword(0);  // extended style
        Add(static_cast<WORD>(items));
        Add(0), Add(0), Add(static_cast<WORD>(width)), Add(static_cast<WORD>(height));
        Add(0), Add(0);  // no menu, the standard dialog class
        AddText(caption);
        Add(8);
        AddText("MS Shell Dlg");
    }
    void AddItem(WORD kind, const char *text, int id, DWORD style, short left, short top, short width, short height) {
        if (words_.size() % 2 != 0) Add(0);
        AddDword(style | WS_CHILD | WS_VISIBLE);
        AddDword(0);
        Add(static_cast<WORD>(left)), Add(static_cast<WORD>(top));
        Add(static_cast<WORD>(width)), Add(static_cast<WORD>(height));
        Add(static_cast<WORD>(id));
        Add(0xFFFF), Add(kind);
        AddText(text);
        Add(0);  // no creation data
    }
    const DLGTEMPLATE *Get() const { return reinterpret_cast<const DLGTEMPLATE *>(words_.data()); }

private:
    void Add(WORD word) { words_.push_back(word); }
    void AddDword(DWORD value) { Add(LOWORD(value)), Add(HIWORD(value)); }
    void AddText(const char *text) {
        for (; *text != '\0'; ++text) Add(static_cast<unsigned char>(*text));
        Add(0);
    }
    std::vector<WORD> words_;
};

const WORD kButtonKind = 0x0080, kEditKind = 0x0081, kStaticKind = 0x0082;

DialogTemplate MakeTemplate() {
    DialogTemplate dialog("File Info", kDialogWidth, kDialogHeight, 2 * kShownCount + 2);
    for (int i = 0; i < kShownCount; ++i) {
        const short top = static_cast<short>(kMargin + i * kRowPitch);
        dialog.AddItem(kStaticKind, kShown[i].label, -1, SS_LEFT, kMargin, top + 2, kLabelWidth, 8);
        dialog.AddItem(kEditKind, "", kFirstEditId + i, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                       kMargin + kLabelWidth + 4, top, kEditWidth, kEditHeight);
    }
    const short okLeft = kDialogWidth - kMargin - 2 * kButtonWidth - 4;
    dialog.AddItem(kButtonKind, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, okLeft, kButtonTop, kButtonWidth,
                   kButtonHeight);
    dialog.AddItem(kButtonKind, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, okLeft + kButtonWidth + 4, kButtonTop,
                   kButtonWidth, kButtonHeight);
    return dialog;
}

struct Editing {
    std::vector<uint8_t> *resources;
    std::vector<std::string> shown;  // each field's text as the dialog opened, read back from the field
};

// The first dataset of each number is the one a field shows.
std::string FirstText(const std::vector<IptcDataset> &datasets, int number) {
    for (const IptcDataset &dataset : datasets)
        if (dataset.number == number) return dataset.text;
    return "";
}

// The whole text of a field, however long.
std::string FieldText(HWND dialog, int field) {
    const HWND edit = GetDlgItem(dialog, kFirstEditId + field);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    return text;
}

// A field shows its dataset's text up to the first zero byte (the module
// pads texts with zeros), so what it showed is read back from it rather
// than taken from the dataset.
void FillFields(HWND dialog, Editing *editing) {
    const std::vector<IptcDataset> datasets = ListFileInfoDatasets(*editing->resources);
    for (int i = 0; i < kShownCount; ++i) {
        SendDlgItemMessageA(dialog, kFirstEditId + i, EM_LIMITTEXT, static_cast<WPARAM>(kShown[i].longest), 0);
        SetDlgItemTextA(dialog, kFirstEditId + i, FirstText(datasets, kShown[i].number).c_str());
        editing->shown.push_back(FieldText(dialog, i));
    }
}

// Only the fields the person changed are edits: a dataset shown and left
// alone keeps every byte, and so do further datasets of its number.
void TakeEdits(HWND dialog, const Editing &editing) {
    std::vector<IptcDataset> edits;
    for (int i = 0; i < kShownCount; ++i) {
        const std::string text = FieldText(dialog, i);
        if (text != editing.shown[static_cast<size_t>(i)]) edits.push_back(IptcDataset{kShown[i].number, text});
    }
    if (!edits.empty()) *editing.resources = EditFileInfo(*editing.resources, edits);
}

INT_PTR CALLBACK FileInfoProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto *editing = reinterpret_cast<Editing *>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            FillFields(dialog, reinterpret_cast<Editing *>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) TakeEdits(dialog, *editing);
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR EditFileInfoInDialog(HWND owner, std::vector<uint8_t> *resources) {
    const DialogTemplate dialog = MakeTemplate();
    Editing editing{resources, {}};
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), owner, FileInfoProcedure,
                                   reinterpret_cast<LPARAM>(&editing));
}
