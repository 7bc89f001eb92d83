// The module's compiled resources: the property list byte for byte, the
// strings of its alerts, and what the module exports.
#include <cstdio>

#include "ModuleFixture.h"
#include "pnghost/host/Pipl.h"

namespace {

struct ExpectedProperty {
    const char *key;  // as the host names it
    std::vector<uint8_t> value;
};

std::vector<uint8_t> Text(const char *text, size_t length) { return std::vector<uint8_t>(text, text + length); }

const std::vector<ExpectedProperty> &ExpectedProperties() {
    static const std::vector<ExpectedProperty> properties = {
        {"kind", Text("FIB8", 4)},
        {"name", {0x03, 'P', 'N', 'G'}},
        {"vers", {0x00, 0x00, 0x01, 0x00}},
        {"wx86", Text("ENTRYPOINT\0\0", 12)},
        {"mode", {0xF0, 0x00, 0x00, 0x00}},
        {"fmTC", Text("F1B8MIB8", 8)},
        {"RdTy", Text("F1B8    ", 8)},
        {"fftE", Text("PNG ", 4)},
        {"fmtf", {0x78, 0x00, 0x00, 0x00}},
        {"mxsz", {0xFF, 0x7F, 0xFF, 0x7F}},
        {"mxch", {1, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0, 24, 0}},
    };
    return properties;
}

uint32_t Little32(const uint8_t *p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }

}  // namespace

TEST_F(ModuleTest, PropertyListMatchesTheRegistrationTable) {
    const uint8_t *bytes = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindModuleResource(session.module, "PIPL", 16000, &bytes, &size));
    ASSERT_GE(size, 10u);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 1);
    EXPECT_EQ(Little32(bytes + 2), 0u) << "list version";
    ASSERT_EQ(Little32(bytes + 6), 11u) << "property count";

    // Walk by the stored lengths, as the host does: every key lands at a
    // multiple of four from the list's start.
    size_t offset = 10;
    for (const ExpectedProperty &expected : ExpectedProperties()) {
        SCOPED_TRACE(expected.key);
        ASSERT_LE(offset + 16, size);
        EXPECT_EQ(offset % 4, 2u) << "properties follow the 10-byte header at 4-byte steps";
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes + offset), 4), "MIB8");
        const char *key = expected.key;
        const std::string storedKey{key[3], key[2], key[1], key[0]};
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(bytes + offset + 4), 4), storedKey);
        EXPECT_EQ(Little32(bytes + offset + 8), 0u) << "property id";
        const uint32_t length = Little32(bytes + offset + 12);
        ASSERT_EQ(length, expected.value.size());
        ASSERT_LE(offset + 16 + length, size);
        EXPECT_EQ(std::vector<uint8_t>(bytes + offset + 16, bytes + offset + 16 + length), expected.value);
        offset += 16 + ((length + 3) & ~3u);
    }
    EXPECT_EQ(offset, size) << "nothing follows the last property";
}

TEST_F(ModuleTest, HostReadsThePropertyListAsRegistered) {
    std::vector<std::string> lines;
    for (const PiplProperty &property : session.pipl)
        lines.push_back(FourCCText(property.key) + " " + std::to_string(property.value.size()) + " " +
                        DescribePiplValue(property));
    const std::vector<std::string> expected = {
        "kind 4 8BIF",
        "name 4 PNG",
        "vers 4 1.0",
        "wx86 12 ENTRYPOINT",
        "mode 4 bitmap grayscale indexed rgb",
        "fmTC 8 8B1F 8BIM",
        "RdTy 8 8B1F '    '",
        "fftE 4 PNG",
        "fmtf 4 saves-image-resources can-read can-write can-write-if-read",
        "mxsz 4 32767 x 32767",
        "mxch 24 1 24 24 24 24 24 24 24 24 24 24 24",
    };
    EXPECT_EQ(lines, expected);
}

TEST(PiplParser, RefusesListsThatRunPastTheirEnd) {
    const uint8_t header[] = {1, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    std::vector<uint8_t> list(header, header + sizeof header);
    const uint8_t property[] = {'M', 'I', 'B', '8', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0, 'F', 'I', 'B', '8'};
    list.insert(list.end(), property, property + sizeof property);

    std::vector<PiplProperty> properties;
    std::string error;
    EXPECT_FALSE(ParsePipl(list.data(), list.size(), &properties, &error)) << "count says 2, one present";
    list[6] = 1;
    EXPECT_TRUE(ParsePipl(list.data(), list.size(), &properties, &error)) << error;
    list[10 + 12] = 0xFF;  // value length far past the end
    EXPECT_FALSE(ParsePipl(list.data(), list.size(), &properties, &error));
    EXPECT_FALSE(ParsePipl(list.data(), 9, &properties, &error));
}

TEST_F(ModuleTest, ModuleExportsOnlyItsThreeEntryPoints) {
    const std::string command = "nm -D --defined-only " + std::string(KORVANE_MODULE_PATH);
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> functions;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3 && (type[0] == 'T' || type[0] == 'W'))
            functions.push_back(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    std::sort(functions.begin(), functions.end());
    EXPECT_EQ(functions, (std::vector<std::string>{"AboutProc", "ENTRYPOINT", "OptionProc"}));
}
