#include "FixtureModule.h"
#include "fixture/ResourceIds.h"

#include <win32_layer.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string LongText() {
    std::string text;
    for (int i = 0; i < 28; ++i) text += "0123456789";
    return text;
}

TEST(LoadString, CopiesConvertsAndTruncates) {
    struct Case {
        UINT id;
        int bufferMax;
        std::string expected;
    };
    const Case cases[] = {
        {IDS_GREETING, 100, "Hello from the fixture"},
        {IDS_GREETING, 6, "Hello"},
        {IDS_GREETING, 1, ""},
        {IDS_SECOND_BLOCK, 100, "Second block"},
        {IDS_NON_ASCII, 100, "Caf\xE9 ? ?!"},  // U+20AC and a surrogate pair become '?'
        {IDS_LONG, 1000, LongText()},
        {IDS_LONG, 256, LongText().substr(0, 255)},
        {IDS_MISSING_IN_BLOCK, 100, ""},
        {5000, 100, ""},      // no such block
        {0x10000, 100, ""},   // beyond any string id
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        std::string buffer(static_cast<size_t>(c.bufferMax) + 1, '#');
        const int copied = LoadStringA(FixtureModule(), c.id, &buffer[0], c.bufferMax);
        EXPECT_EQ(copied, static_cast<int>(c.expected.size()));
        EXPECT_EQ(std::string(buffer.c_str()), c.expected);
        EXPECT_EQ(buffer.back(), '#');  // nothing written past bufferMax
    }
}

TEST(LoadString, NoBufferOrNoResourcesGiveZero) {
    char buffer[4] = "abc";
    EXPECT_EQ(LoadStringA(FixtureModule(), IDS_GREETING, buffer, 0), 0);
    EXPECT_STREQ(buffer, "abc");
    HMODULE tests = Win32ModuleFromAddress(reinterpret_cast<const void *>(&FixtureModule));
    EXPECT_EQ(LoadStringA(tests, IDS_GREETING, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

}  // namespace
