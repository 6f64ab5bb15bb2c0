// "/p <handle>" with a handle that names no window a preview can live in: the desktop window, a
// message-only window, a window of another desktop. The saver ends at once and shows nothing.
#include "saver/app/preview_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

std::string Decimal(HWND hwnd) { return std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd))); }

// A window on a desktop of its own, made by a thread that lives on that desktop.
class OtherDesktopWindow {
public:
    OtherDesktopWindow() {
        desktop_ = CreateDesktopA("vellora-test-other", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (desktop_ == nullptr) return;
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 5000);
    }
    ~OtherDesktopWindow() {
        if (thread_ != nullptr) {
            SetEvent(done_);
            WaitForSingleObject(thread_, 5000);
            CloseHandle(thread_);
        }
        if (ready_ != nullptr) CloseHandle(ready_);
        if (done_ != nullptr) CloseHandle(done_);
        if (desktop_ != nullptr) CloseDesktop(desktop_);
    }
    OtherDesktopWindow(const OtherDesktopWindow&) = delete;
    OtherDesktopWindow& operator=(const OtherDesktopWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* me = static_cast<OtherDesktopWindow*>(self);
        if (SetThreadDesktop(me->desktop_))
            me->window_ = CreateWindowExA(0, "STATIC", "other desktop", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr,
                                          nullptr, nullptr, nullptr);
        SetEvent(me->ready_);
        WaitForSingleObject(me->done_, INFINITE);
        if (me->window_ != nullptr) DestroyWindow(me->window_);
        return 0;
    }

    HDESK desktop_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE done_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

HWND MessageOnlyWindow() {
    return CreateWindowExA(0, "STATIC", "message only", 0, 0, 0, 100, 100, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(PreviewHost, OnlyWindowsOfThisDesktopTreeHost) {
    vtest::TestWindow topLevel(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{40, 40, 300, 240});
    vtest::TestWindow child(nullptr, WS_CHILD | WS_VISIBLE, RECT{10, 10, 110, 90}, topLevel.Handle());
    const HWND messageOnly = MessageOnlyWindow();
    ASSERT_NE(messageOnly, nullptr);
    OtherDesktopWindow other;

    EXPECT_TRUE(vellora::IsPreviewHost(topLevel.Handle()));
    EXPECT_TRUE(vellora::IsPreviewHost(child.Handle()));
    EXPECT_FALSE(vellora::IsPreviewHost(nullptr));
    EXPECT_FALSE(vellora::IsPreviewHost(GetDesktopWindow()));
    EXPECT_FALSE(vellora::IsPreviewHost(messageOnly));
    if (other.Handle() != nullptr) {
        EXPECT_FALSE(vellora::IsPreviewHost(other.Handle()));
    } else {
        std::printf("[ note   ] no window could be made on another desktop here\n");
    }
    DestroyWindow(messageOnly);
    EXPECT_FALSE(vellora::IsPreviewHost(messageOnly)) << "a handle that no longer names a window";
}

// Each one once held the preview window, full screen over everything with no way to end it, or
// kept an invisible process running.
TEST(SaverProcess, PreviewOfANonHostEndsAtOnce) {
    const HWND messageOnly = MessageOnlyWindow();
    ASSERT_NE(messageOnly, nullptr);
    OtherDesktopWindow other;
    struct Case {
        const char* name;
        HWND handle;
    };
    const Case cases[] = {
        {"the desktop window", GetDesktopWindow()},
        {"a message-only window", messageOnly},
        {"a window of another desktop", other.Handle()},
    };
    for (const Case& c : cases) {
        if (c.handle == nullptr) continue;
        const double start = vtest::NowMs();
        vtest::SaverProcess saver("/p " + Decimal(c.handle));
        ASSERT_TRUE(saver.Started());
        const auto [ended, shown] = saver.WaitForExitWatchingWindows(10000);
        std::printf("[ figure ] /p with %s: ended after %.0f ms\n", c.name, vtest::NowMs() - start);
        EXPECT_TRUE(ended) << c.name;
        EXPECT_FALSE(shown) << c.name;
        if (ended) {
            EXPECT_EQ(saver.ExitCode(), 0u) << c.name;
        }
    }
    DestroyWindow(messageOnly);
}

}  // namespace
