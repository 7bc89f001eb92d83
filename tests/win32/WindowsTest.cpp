#include <win32_layer.h>

#include <gtest/gtest.h>

namespace {

bool SameRect(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Windows, HostWindowHasItsRectangleAndNoParent) {
    const RECT where{100, 50, 900, 650};
    HWND host = Win32CreateHostWindow(&where);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(host, &rect));
    EXPECT_TRUE(SameRect(rect, where));
    EXPECT_EQ(GetParent(host), nullptr);
    EXPECT_TRUE(MoveWindow(host, 10, 20, 300, 200, TRUE));
    GetWindowRect(host, &rect);
    EXPECT_TRUE(SameRect(rect, RECT{10, 20, 310, 220}));
    Win32DestroyHostWindow(host);
}

TEST(Windows, DesktopWindowCoversTheScreen) {
    HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDesktopWindow(), desktop);
    const RECT screen{0, 0, 1280, 1024};
    Win32SetScreenRect(&screen);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(desktop, &rect));
    EXPECT_TRUE(SameRect(rect, screen));
    EXPECT_FALSE(MoveWindow(desktop, 1, 1, 10, 10, FALSE));
    EXPECT_EQ(GetParent(desktop), nullptr);
    const RECT standard{0, 0, 1024, 768};
    Win32SetScreenRect(&standard);
}

TEST(Windows, EnableWindowAnswersWhetherItWasDisabled) {
    HWND host = Win32CreateHostWindow(nullptr);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_FALSE(EnableWindow(host, FALSE));
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_TRUE(EnableWindow(host, FALSE));
    EXPECT_TRUE(EnableWindow(host, TRUE));
    EXPECT_TRUE(IsWindowEnabled(host));
    Win32DestroyHostWindow(host);
}

TEST(Windows, ActiveWindowForgetsDestroyedWindows) {
    HWND host = Win32CreateHostWindow(nullptr);
    Win32SetActiveWindow(host);
    EXPECT_EQ(GetActiveWindow(), host);
    Win32DestroyHostWindow(host);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

// Handles that are not live windows fail quietly, whatever the call.
TEST(Windows, StaleAndMadeUpHandlesFail) {
    HWND destroyed = Win32CreateHostWindow(nullptr);
    Win32DestroyHostWindow(destroyed);
    int local = 0;
    for (HWND bad : {destroyed, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(&local)}) {
        RECT rect{};
        EXPECT_FALSE(GetWindowRect(bad, &rect));
        EXPECT_FALSE(MoveWindow(bad, 0, 0, 1, 1, FALSE));
        EXPECT_FALSE(EnableWindow(bad, FALSE));
        EXPECT_FALSE(IsWindowEnabled(bad));
        EXPECT_EQ(GetParent(bad), nullptr);
        EXPECT_EQ(SendMessageA(bad, BM_GETCHECK, 0, 0), 0);
        EXPECT_EQ(GetDlgItem(bad, IDOK), nullptr);
        EXPECT_FALSE(EndDialog(bad, 1));
        EXPECT_FALSE(CheckRadioButton(bad, 1, 2, 1));
        EXPECT_EQ(IsDlgButtonChecked(bad, 1), 0u);
    }
}

}  // namespace
