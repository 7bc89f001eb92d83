#include <win32_layer.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBox, RecordsEachAlertAndPrintsItOnOneLine) {
    Win32ClearAlerts();
    HWND owner = Win32CreateHostWindow(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(owner, "first line\nsecond line", "PNG", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OKCANCEL), IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[PNG] first line second line\n[Error] \n");

    ASSERT_EQ(Win32AlertCount(), 2u);
    Win32Alert alert{};
    ASSERT_TRUE(Win32GetAlert(0, &alert));
    EXPECT_EQ(alert.owner, owner);
    EXPECT_EQ(alert.type, UINT{MB_OK | MB_ICONERROR});
    EXPECT_STREQ(alert.caption, "PNG");
    EXPECT_STREQ(alert.text, "first line\nsecond line");
    ASSERT_TRUE(Win32GetAlert(1, &alert));
    EXPECT_STREQ(alert.caption, "Error");
    EXPECT_FALSE(Win32GetAlert(2, &alert));
    Win32ClearAlerts();
    EXPECT_EQ(Win32AlertCount(), 0u);
    Win32DestroyHostWindow(owner);
}

TEST(MessageBox, LongTextIsCutToTheRecord) {
    Win32ClearAlerts();
    const std::string text(5000, 't');
    ::testing::internal::CaptureStderr();
    MessageBoxA(nullptr, text.c_str(), std::string(400, 'c').c_str(), MB_OK);
    ::testing::internal::GetCapturedStderr();
    Win32Alert alert{};
    ASSERT_TRUE(Win32GetAlert(0, &alert));
    EXPECT_EQ(std::string(alert.text), text.substr(0, sizeof alert.text - 1));
    EXPECT_EQ(std::string(alert.caption).size(), sizeof alert.caption - 1);
    Win32ClearAlerts();
}

}  // namespace
