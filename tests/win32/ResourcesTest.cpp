#include "FixtureModule.h"
#include "ModuleImage.h"
#include "ResourceDirectory.h"
#include "fixture/ResourceIds.h"

#include <win32_layer.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string ResourceBytes(HMODULE module, HRSRC resource) {
    const char *data = static_cast<const char *>(LockResource(LoadResource(module, resource)));
    return data ? std::string(data, SizeofResource(module, resource)) : std::string();
}

TEST(Resources, FoundByOrdinalOrNameInAnyCase) {
    struct Case {
        LPCSTR name;
        LPCSTR type;
        std::string bytes;  // empty: not found
    };
    const Case cases[] = {
        {MAKEINTRESOURCEA(IDR_NUMBERS), RT_RCDATA, std::string("\1\0\2\0\3\0", 6)},
        {"#300", "#10", std::string("\1\0\2\0\3\0", 6)},
        {MAKEINTRESOURCEA(IDR_BLOB), "KVDATA", "blob\1\2"},
        {"logo", "KvData", "logo"},
        {MAKEINTRESOURCEA(IDR_NUMBERS), "KVDATA", ""},
        {"Logo", RT_RCDATA, ""},
        {"Logo2", "KVDATA", ""},
        {"#30x", RT_RCDATA, ""},
        {MAKEINTRESOURCEA(999), RT_RCDATA, ""},
    };
    HMODULE module = FixtureModule();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        HRSRC resource = FindResourceA(module, c.name, c.type);
        EXPECT_EQ(resource != nullptr, !c.bytes.empty());
        if (resource) {
            EXPECT_EQ(ResourceBytes(module, resource), c.bytes);
        }
    }
}

TEST(Resources, HandleIsTheLoadBaseAndOnlyItsOwnResourcesCount) {
    HMODULE fixture = FixtureModule();
    HMODULE tests = Win32ModuleFromAddress(reinterpret_cast<const void *>(&ResourceBytes));
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<const void *>(&ResourceBytes), &info), 0);
    EXPECT_EQ(static_cast<void *>(tests), info.dli_fbase);
    EXPECT_NE(fixture, tests);
    EXPECT_EQ(Win32ModuleFromAddress(nullptr), nullptr);

    EXPECT_EQ(FindResourceA(tests, MAKEINTRESOURCEA(IDR_NUMBERS), RT_RCDATA), nullptr);
    HRSRC resource = FindResourceA(fixture, MAKEINTRESOURCEA(IDR_NUMBERS), RT_RCDATA);
    EXPECT_EQ(LoadResource(tests, resource), nullptr);
    EXPECT_EQ(SizeofResource(tests, resource), 0u);
    int notAResource = 0;
    EXPECT_EQ(LoadResource(fixture, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
    EXPECT_EQ(LoadResource(fixture, reinterpret_cast<HRSRC>(reinterpret_cast<char *>(resource) + 1)), nullptr);
}

// The parsed entries of a copy of the bytes in a buffer of exactly that size,
// so that the address sanitizer sees any read past the end.
struct Parsed {
    bool ok;
    std::vector<win32::ResourceEntry> entries;
};

Parsed ParseCopy(const std::vector<BYTE> &bytes, size_t size) {
    auto copy = std::make_unique<BYTE[]>(size ? size : 1);
    std::memcpy(copy.get(), bytes.data(), size);
    Parsed parsed{};
    parsed.ok = win32::ParseResFile(copy.get(), size, parsed.entries);
    for (const win32::ResourceEntry &entry : parsed.entries)
        EXPECT_LE(entry.data + entry.size, copy.get() + size);
    return parsed;
}

TEST(ResFile, EveryTruncationKeepsOnlyWholeEntries) {
    const std::vector<BYTE> bytes = FixtureResBytes();
    const Parsed whole = ParseCopy(bytes, bytes.size());
    ASSERT_TRUE(whole.ok);
    ASSERT_EQ(whole.entries.size(), 8u);  // 2 custom, 2 dialogs, 3 string blocks, RCDATA
    for (size_t size = 0; size < bytes.size(); ++size) {
        const Parsed cut = ParseCopy(bytes, size);
        EXPECT_LE(cut.entries.size(), whole.entries.size());
    }
}

TEST(ResFile, DamagedLengthsStopTheParse) {
    const std::vector<BYTE> bytes = FixtureResBytes();
    const size_t second = 0x20 + 0x30 + 4;  // past the marker and the first entry ("LOGO")
    struct Damage {
        size_t field;
        DWORD value;
    };
    const Damage damages[] = {
        {second, static_cast<DWORD>(bytes.size())}, {second, 0x7FFFFFF0}, {second, 0xFFFFFFFF},  // DataSize
        {second + 4, 0}, {second + 4, 7}, {second + 4, 12},  // HeaderSize: too small for its names
        {second + 4, 0x7FFFFFF0}, {second + 4, 0xFFFFFFFF},
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.value);
        std::vector<BYTE> damaged = bytes;
        std::memcpy(damaged.data() + damage.field, &damage.value, 4);
        const Parsed parsed = ParseCopy(damaged, damaged.size());
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.entries.size(), 1u);
    }
}

std::vector<BYTE> Note(const char *name, DWORD type, const std::string &descriptor, size_t padding) {
    const DWORD header[3] = {static_cast<DWORD>(std::strlen(name) + 1), static_cast<DWORD>(descriptor.size()), type};
    std::vector<BYTE> note(sizeof header + header[0]);
    std::memcpy(note.data(), header, sizeof header);
    std::memcpy(note.data() + sizeof header, name, header[0]);
    note.resize((note.size() + padding - 1) / padding * padding);
    note.insert(note.end(), descriptor.begin(), descriptor.end());
    note.resize((note.size() + padding - 1) / padding * padding);
    return note;
}

TEST(ResourceNote, FoundAmongOtherNotesAndNeverPastTheSegment) {
    for (size_t padding : {size_t{4}, size_t{8}}) {
        SCOPED_TRACE(padding);
        std::vector<BYTE> notes = Note("GNU", 3, "build-id", padding);
        const std::vector<BYTE> wrongType = Note("Win32", 2, "nope", padding);
        const std::vector<BYTE> resources = Note("Win32", 1, "res-bytes", padding);
        notes.insert(notes.end(), wrongType.begin(), wrongType.end());
        notes.insert(notes.end(), resources.begin(), resources.end());
        const win32::ByteSpan found = win32::FindResourceNote(notes.data(), notes.size(), padding);
        ASSERT_EQ(found.size, 9u);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(found.data), found.size), "res-bytes");
        // Cut anywhere before the end of the resource note's descriptor: not found.
        const size_t end = static_cast<size_t>(found.data - notes.data()) + found.size;
        for (size_t size = notes.size() - resources.size(); size < end; ++size)
            EXPECT_EQ(win32::FindResourceNote(notes.data(), size, padding).data, nullptr);
    }
}

}  // namespace
