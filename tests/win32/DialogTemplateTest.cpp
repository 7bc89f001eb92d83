#include "DialogTemplate.h"
#include "FixtureModule.h"
#include "fixture/ResourceIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::vector<BYTE> DialogBytes(LPCSTR name) {
    HRSRC resource = FindResourceA(FixtureModule(), name, RT_DIALOG);
    const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(FixtureModule(), resource)));
    return data ? std::vector<BYTE>(data, data + SizeofResource(FixtureModule(), resource)) : std::vector<BYTE>();
}

// Parses a copy in a buffer of exactly `size` bytes, so that the address
// sanitizer catches any read past it.
bool ParseCopy(const std::vector<BYTE> &bytes, size_t size, win32::DialogTemplate &dialog, std::string &error) {
    auto copy = std::make_unique<BYTE[]>(size ? size : 1);
    std::memcpy(copy.get(), bytes.data(), size);
    return win32::ParseDialogTemplate(copy.get(), size, dialog, error);
}

TEST(DialogTemplate, ReadsTheCompiledTemplate) {
    const std::vector<BYTE> bytes = DialogBytes(MAKEINTRESOURCEA(IDD_FULL));
    win32::DialogTemplate dialog;
    std::string error;
    ASSERT_TRUE(ParseCopy(bytes, bytes.size(), dialog, error)) << error;
    EXPECT_EQ(dialog.style, DWORD{DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT});
    EXPECT_EQ(dialog.box.x, 10);
    EXPECT_EQ(dialog.box.cy, 120);
    EXPECT_EQ(dialog.caption, "Fixture Options");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.faceName, "MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), 13u);

    struct Expected {
        size_t index;
        int id;
        const char *className;  // written as an atom or as "BUTTON"
        const char *text;
        DWORD type;
    };
    const Expected items[] = {
        {0, IDOK, "Button", "OK", BS_DEFPUSHBUTTON},
        {3, IDC_CHECK_ONE, "Button", "Check one", BS_AUTOCHECKBOX},
        {5, IDC_GROUP, "Button", "Speed", BS_GROUPBOX},
        {10, IDC_LABEL, "Static", "Label:", SS_LEFT},
        {12, IDC_SORTED, "ComboBox", "", CBS_DROPDOWNLIST},
    };
    for (const Expected &e : items) {
        const win32::DialogItemTemplate &item = dialog.items[e.index];
        SCOPED_TRACE(e.index);
        EXPECT_EQ(item.id, e.id);
        EXPECT_EQ(item.className, e.className);
        EXPECT_EQ(item.text, e.text);
        EXPECT_EQ(item.style & BS_TYPEMASK, e.type);
    }
    EXPECT_EQ(dialog.items[1].box.y, 24);
    EXPECT_TRUE(dialog.items[2].style & WS_DISABLED);
}

TEST(DialogTemplate, WithoutFontOrCaption) {
    const std::vector<BYTE> bytes = DialogBytes("PlainBox");
    win32::DialogTemplate dialog;
    std::string error;
    ASSERT_TRUE(ParseCopy(bytes, bytes.size(), dialog, error)) << error;
    EXPECT_EQ(dialog.caption, "");
    EXPECT_EQ(dialog.faceName, "");
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].id, IDC_STATIC);
    EXPECT_EQ(dialog.items[0].text, "Click anywhere");
}

TEST(DialogTemplate, EveryTruncationIsRefused) {
    const std::vector<BYTE> bytes = DialogBytes(MAKEINTRESOURCEA(IDD_FULL));
    for (size_t size = 0; size < bytes.size(); ++size) {
        win32::DialogTemplate dialog;
        std::string error;
        EXPECT_FALSE(ParseCopy(bytes, size, dialog, error)) << size;
        EXPECT_FALSE(error.empty());
    }
}

// Builds templates the resource compiler would not write.
struct TemplateWriter {
    std::vector<BYTE> bytes;
    void Word(WORD w) {
        bytes.push_back(static_cast<BYTE>(w));
        bytes.push_back(static_cast<BYTE>(w >> 8));
    }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d));
        Word(static_cast<WORD>(d >> 16));
    }
    void String(const char *text) {
        for (; *text; ++text) Word(static_cast<BYTE>(*text));
        Word(0);
    }
    void Item(WORD id) {
        while (bytes.size() % 4) bytes.push_back(0);
        Dword(WS_CHILD);
        Dword(0);
        for (int i = 0; i < 4; ++i) Word(5);
        Word(id);
    }
};

TEST(DialogTemplate, ClassesByAtomOrAnyCaseNameAndOrdinalTitles) {
    TemplateWriter t;
    t.Dword(WS_POPUP);
    t.Dword(0);
    t.Word(3);
    for (int i = 0; i < 4; ++i) t.Word(10);
    t.Word(0), t.Word(0), t.String("Made");  // no menu, default class, caption
    t.Item(1), t.Word(0xFFFF), t.Word(0x81), t.String("text"), t.Word(0);
    t.Item(2), t.String("combobox"), t.Word(0xFFFF), t.Word(7), t.Word(2), t.Word(0xABCD);
    t.Item(3), t.String("MyClass"), t.String(""), t.Word(0);
    win32::DialogTemplate dialog;
    std::string error;
    ASSERT_TRUE(ParseCopy(t.bytes, t.bytes.size(), dialog, error)) << error;
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[0].className, "Edit");
    EXPECT_EQ(dialog.items[1].className, "ComboBox");
    EXPECT_EQ(dialog.items[1].text, "");
    EXPECT_EQ(dialog.items[2].className, "MyClass");
    EXPECT_EQ(dialog.caption, "Made");
}

TEST(DialogTemplate, ExtendedTemplatesAreRefusedClearly) {
    std::vector<BYTE> bytes = {1, 0, 0xFF, 0xFF};
    bytes.resize(64);
    win32::DialogTemplate dialog;
    std::string error;
    EXPECT_FALSE(ParseCopy(bytes, bytes.size(), dialog, error));
    EXPECT_NE(error.find("DLGTEMPLATEEX"), std::string::npos);
}

}  // namespace
