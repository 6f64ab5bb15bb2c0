// The saver works in device pixels at every display scaling: its manifest asks for per-monitor DPI
// awareness (read as the system's loader reads it), and at 144 logical pixels per inch (150 %) a
// ball of stored size 30 is still 60 pixels across on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

// A setting of the manifest the built saver carries, through an activation context made from it.
std::wstring ManifestSetting(const wchar_t* schema, const wchar_t* name) {
    const std::string path = vtest::SaverPath();
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);  // the process manifest
    HANDLE context = CreateActCtxA(&request);
    if (context == INVALID_HANDLE_VALUE) return L"(no activation context)";
    wchar_t value[128] = L"";
    SIZE_T written = 0;
    const BOOL found = QueryActCtxSettingsW(0, context, schema, name, value, 128, &written);
    ReleaseActCtx(context);
    return found ? value : L"(not set)";
}

template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

TEST(SaverDpi, ManifestAsksForPerMonitorAwarenessWithTheSystemWideFallback) {
    // Windows 10 takes the first value of dpiAwareness it knows; older systems read dpiAware.
    EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, PerMonitor");
    EXPECT_EQ(ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
}

TEST(SaverProcess, AStoredSize30BallIs60PixelsAcrossAtLogPixels144) {
    const vtest::ScopedUserValue scaling("Control Panel\\Desktop", "LogPixels", 144);
    // One ball that stands still: velocity 1 draws no speed, and there is no gravity.
    const vtest::ScopedSaverSettings settings({{vellora::Setting::NumBalls, 1},
                                               {vellora::Setting::BallSize, 30},
                                               {vellora::Setting::BallSizeSel, 0},
                                               {vellora::Setting::Velocity, 1},
                                               {vellora::Setting::Gravity, 0},
                                               {vellora::Setting::Sparks, 0}});
    vtest::SaverProcess saver("/s");
    ASSERT_TRUE(saver.Started());
    HWND window = nullptr;
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    vtest::Pixels pixels;
    ASSERT_TRUE(vtest::PumpUntil(
        [&] {
            const auto windows = saver.VisibleTopLevelWindows();
            if (windows.empty()) return false;
            window = windows.front();
            pixels = vtest::ReadScreenRect(screen);
            return pixels.CountNonBlack() > 0;
        },
        20000))
        << "the ball is drawn";

    // What the running saver's window reports of its awareness (Wine reports per-monitor for every
    // program, so the manifest above is the check that tells).
    using GetWindowContext = void*(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(void*);
    const auto getWindowContext = User32<GetWindowContext>("GetWindowDpiAwarenessContext");
    const auto awarenessOf = User32<AwarenessOf>("GetAwarenessFromDpiAwarenessContext");
    if (getWindowContext != nullptr && awarenessOf != nullptr) {
        const int awareness = awarenessOf(getWindowContext(window));
        std::printf("[ dpi    ] the saver's window reports DPI awareness %d (2: per monitor)\n", awareness);
        EXPECT_EQ(awareness, 2) << "per-monitor aware";
    }

    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.At(x, y) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    std::printf("[ dpi    ] LogPixels 144: the ball is %d x %d pixels\n", right - left, bottom - top);
    EXPECT_EQ(right - left, 60) << "30 device pixels in radius";
    EXPECT_EQ(bottom - top, 60);
    const std::string shot = vtest::SaveShot(pixels, "logpixels-144");
    if (!shot.empty()) std::printf("[ dpi    ] screenshot %s\n", shot.c_str());

    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(saver.WaitForExit(5000));
}
