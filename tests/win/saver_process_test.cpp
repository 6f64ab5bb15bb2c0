// The built VelloraSaver.scr run as the system runs it: full screen with "/s", preview inside a
// host window with "/p <handle>", and the switches that end it at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

HWND FirstChild(HWND parent) { return FindWindowExA(parent, nullptr, nullptr, nullptr); }

std::string Decimal(HWND hwnd) {
    return std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd)));
}

}  // namespace

TEST(SaverProcess, SwitchesThatEndAtOnceWithNothingShown) {
    // The configure switches open the options dialog (OptionsProcess) and "-UNINSTALL" uninstalls
    // (UninstallProcess); what only looks like them does nothing.
    const char* cases[] = {"/S", "/a", "-uninstall", "/UNINSTALL", "/p:123", "//p", "\"\"", "/p", "/p 0", "/p 12345"};
    for (const char* arguments : cases) {
        vtest::SaverProcess saver(arguments);
        ASSERT_TRUE(saver.Started()) << vtest::SaverPath();
        const auto [ended, shown] = saver.WaitForExitWatchingWindows(10000);
        EXPECT_TRUE(ended) << arguments;
        EXPECT_FALSE(shown) << arguments;
        if (ended) {
            EXPECT_EQ(saver.ExitCode(), 0u) << arguments;
        }
    }
}

TEST(SaverProcess, FullScreenRunDrawsAndEndsOnAKey) {
    vtest::SaverProcess saver("/s");
    ASSERT_TRUE(saver.Started());
    const HWND window = saver.WaitForWindow(10000);
    ASSERT_NE(window, nullptr);
    RECT rc{};
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom - rc.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Balls on black, moving: two looks at the screen a while apart differ.
    vtest::PumpFor(1000);
    const vtest::Pixels first = vtest::ReadClientPixels(window);
    vtest::PumpFor(300);
    const vtest::Pixels second = vtest::ReadClientPixels(window);
    const int lit = first.CountNonBlack();
    std::printf("[ saver  ] full screen %dx%d: %d lit pixels (%.1f%%)\n", first.width, first.height, lit,
                100.0 * lit / (first.width * first.height));
    EXPECT_GT(lit, 0) << "something is drawn";
    EXPECT_LT(lit, first.width * first.height / 2) << "mostly black";
    EXPECT_NE(first.colors, second.colors) << "the balls move";

    // A second saver is not started over this one, and the close command is refused.
    PostMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(saver.WaitForExit(300));

    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(saver.WaitForExit(5000)) << "a key press ends the saver";
    EXPECT_EQ(saver.ExitCode(), 0u);
}

TEST(SaverProcess, FullScreenRunTakesItsSettingsFromTheRegistry) {
    // The profile is named after the module's file: ...\Vellora Screen Saver\VelloraSaver\Settings.
    const char* path = "Software\\Vellora Screen Saver\\VelloraSaver\\Settings";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD numBalls = 2, ballSize = 12;
    RegSetValueExA(key, "NumBalls", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&numBalls), sizeof numBalls);
    RegSetValueExA(key, "BallSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ballSize), sizeof ballSize);
    RegCloseKey(key);

    vtest::SaverProcess saver("/s");
    const HWND window = saver.WaitForWindow(10000);
    const bool shown = window != nullptr;
    vtest::PumpFor(500);
    const int lit = shown ? vtest::ReadClientPixels(window).CountNonBlack() : -1;
    if (shown) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    saver.WaitForExit(5000);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(shown);
    // Two balls of radius 12 light about 900 pixels; the defaults (20 of radius 30) about 56,000.
    std::printf("[ saver  ] 2 balls of radius 12 from the registry: %d lit pixels\n", lit);
    EXPECT_GT(lit, 200);
    EXPECT_LT(lit, 3000);
}

TEST(SaverProcess, PreviewRunsInsideTheHostWindowAndEndsWithIt) {
    vtest::TestWindow host(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{40, 40, 300, 240});
    RECT hostClient{};
    GetClientRect(host.Handle(), &hostClient);
    vtest::SaverProcess saver("/p " + Decimal(host.Handle()));
    ASSERT_TRUE(saver.Started());
    ASSERT_TRUE(vtest::PumpUntil(
        [&] {
            HWND child = FirstChild(host.Handle());
            return child != nullptr && IsWindowVisible(child);
        },
        10000))
        << "the preview window appears inside the host";
    HWND child = FirstChild(host.Handle());
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    EXPECT_EQ(owner, saver.Id());
    EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD);
    RECT childRect{};
    GetClientRect(child, &childRect);
    EXPECT_EQ(childRect.right, hostClient.right) << "fills the host's client area";
    EXPECT_EQ(childRect.bottom, hostClient.bottom);
    EXPECT_TRUE(saver.VisibleTopLevelWindows().empty()) << "no window of its own";

    EXPECT_NE(GetPropA(child, "PROP_ANIMTIMERDATA"), nullptr) << "the child runs its frame timer";

    // Wine keeps what a process draws into a child of another process's window off the screen, so
    // the picture is only reported here; AnimWnd's own test checks the preview's drawing in a host.
    vtest::PumpFor(1000);
    const vtest::Pixels pixels = vtest::ReadScreenPixels(host.Handle());
    std::printf("[ saver  ] preview %dx%d: %d lit pixels on the screen\n", pixels.width, pixels.height,
                pixels.CountNonBlack());

    host.Destroy();
    ASSERT_TRUE(saver.WaitForExit(5000)) << "the saver ends with its host window";
    EXPECT_EQ(saver.ExitCode(), 0u);
}
