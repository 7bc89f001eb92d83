// The classic DLGTEMPLATE of an RT_DIALOG resource, as the resource compiler
// writes it for a DIALOG statement.
#ifndef KORVANE_WIN32_DIALOG_TEMPLATE_H
#define KORVANE_WIN32_DIALOG_TEMPLATE_H

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace win32 {

// Position and size in dialog units.
struct DialogUnitsRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitsRect box;
    int id = 0;             // IDC_STATIC for the template's 0xFFFF
    std::string className;  // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox", else as written
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    DialogUnitsRect box;
    std::string caption;
    WORD pointSize = 0;
    std::string faceName;
    std::vector<DialogItemTemplate> items;
};

// Parses the resource bytes; on failure says why in `error`. The extended
// template (DLGTEMPLATEEX) is refused.
bool ParseDialogTemplate(const BYTE *data, size_t size, DialogTemplate &dialog, std::string &error);

}  // namespace win32

#endif
