#include "DialogTemplate.h"

#include "ByteReader.h"
#include "TextConversion.h"

#include <strings.h>

namespace win32 {

namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kStaticId = 0xFFFF;

// The predefined classes, by atom and by name.
struct PredefinedClass {
    WORD atom;
    const char *name;
};
constexpr PredefinedClass kPredefinedClasses[] = {
    {0x80, "Button"}, {0x81, "Edit"}, {0x82, "Static"}, {0x83, "ListBox"}, {0x84, "ScrollBar"}, {0x85, "ComboBox"},
};

std::string ClassName(const ResourceName &name) {
    if (name.isOrdinal) {
        for (const PredefinedClass &known : kPredefinedClasses)
            if (known.atom == name.ordinal) return known.name;
        return "#" + std::to_string(name.ordinal);
    }
    const std::string written = AnsiFromUtf16(name.text);
    for (const PredefinedClass &known : kPredefinedClasses)
        if (strcasecmp(known.name, written.c_str()) == 0) return known.name;
    return written;
}

// Control titles may be a resource ordinal (an icon for a static); those
// carry no text.
std::string Title(const ResourceName &name) { return name.isOrdinal ? std::string() : AnsiFromUtf16(name.text); }

DialogUnitsRect Box(ByteReader &reader) {
    DialogUnitsRect box;
    box.x = static_cast<short>(reader.Word());
    box.y = static_cast<short>(reader.Word());
    box.cx = static_cast<short>(reader.Word());
    box.cy = static_cast<short>(reader.Word());
    return box;
}

DialogItemTemplate Item(ByteReader &reader) {
    DialogItemTemplate item;
    reader.AlignTo(4);
    item.style = reader.Dword();
    item.exStyle = reader.Dword();
    item.box = Box(reader);
    const WORD id = reader.Word();
    item.id = id == kStaticId ? IDC_STATIC : id;
    item.className = ClassName(reader.NameOrOrdinal());
    item.text = Title(reader.NameOrOrdinal());
    reader.Skip(reader.Word());  // creation data
    return item;
}

}  // namespace

bool ParseDialogTemplate(const BYTE *data, size_t size, DialogTemplate &dialog, std::string &error) {
    ByteReader reader(data, size);
    if (size >= 4 && reader.Word() == 1 && reader.Word() == kExtendedSignature) {
        error = "extended dialog templates (DLGTEMPLATEEX) are not supported";
        return false;
    }
    reader = ByteReader(data, size);
    dialog.style = reader.Dword();
    dialog.exStyle = reader.Dword();
    const WORD itemCount = reader.Word();
    dialog.box = Box(reader);
    reader.NameOrOrdinal();  // menu
    reader.NameOrOrdinal();  // window class
    dialog.caption = Title(reader.NameOrOrdinal());
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.faceName = AnsiFromUtf16(reader.String());
    }
    for (WORD i = 0; i < itemCount && reader.ok(); ++i) dialog.items.push_back(Item(reader));
    if (!reader.ok()) error = "the dialog template is truncated or damaged";
    return reader.ok();
}

}  // namespace win32
