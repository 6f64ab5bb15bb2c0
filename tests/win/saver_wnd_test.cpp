// The drawing windows in this process: the full-screen saver's reactions to input and activation,
// the frame timer it starts from the stored refresh rate, and the preview child's lifetime.
#include "saver/app/anim_wnd.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "saver/app/anim_timer.h"
#include "saver/app/gdi_canvas.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "test_support.h"

using vellora::AnimWnd;
using vellora::MemoryProfile;
using vellora::Rect;
using vellora::SaverWnd;
using vellora::Simulation;

namespace {

class SaverWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        vtest::TakeQuit();
        window_ = new SaverWnd(sim_, profile_);  // deletes itself with its window
        ASSERT_TRUE(CreateWindowUnderTest());
        hwnd_ = window_->Handle();
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        vellora::SetupWorld(sim_, profile_, Rect{0, 0, rc.right, rc.bottom}, false);
        vtest::PumpFor(50);
        ASSERT_TRUE(IsWindow(hwnd_)) << "the saver closed by itself";
    }
    void TearDown() override {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        vtest::PumpFor(20);
        vtest::TakeQuit();
        vellora::TeardownWorld(sim_);
    }
    virtual bool CreateWindowUnderTest() { return window_->CreateFullScreen(); }
    // Whether the window is gone once its posted messages have been handled (within 300 ms).
    bool ClosedAfterPump() {
        vtest::PumpUntil([&] { return !IsWindow(hwnd_); }, 300);
        return !IsWindow(hwnd_);
    }

    Simulation sim_;
    MemoryProfile profile_;
    SaverWnd* window_ = nullptr;
    HWND hwnd_ = nullptr;
};

struct InputCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool closes;
};

}  // namespace

TEST_F(SaverWndTest, IsATopMostPopupCoveringTheScreen) {
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    char title[16] = "x";
    GetWindowTextA(hwnd_, title, sizeof title);
    EXPECT_STREQ(title, "");
    EXPECT_EQ(GetClassLongPtrA(hwnd_, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(GetClassLongPtrA(hwnd_, GCLP_HBRBACKGROUND), 0u);
    EXPECT_EQ(GetClassLongPtrA(hwnd_, GCLP_HICON), 0u);
    EXPECT_NE(GetClassLongPtrA(hwnd_, GCLP_HCURSOR), 0u) << "the transparent pointer, resource 129";
}

TEST_F(SaverWndTest, InputAndActivationThatCloseOrDoNot) {
    const InputCase cases[] = {
        {"key press", WM_KEYDOWN, 'A', 0, true},
        {"Alt key", WM_SYSKEYDOWN, VK_MENU, 0, true},
        {"left button", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), true},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5), true},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), true},
        {"deactivation", WM_ACTIVATE, WA_INACTIVE, 0, true},
        {"other application", WM_ACTIVATEAPP, FALSE, 0, true},
        {"key release", WM_KEYUP, 'A', 0, false},
        {"button release", WM_LBUTTONUP, 0, MAKELPARAM(5, 5), false},
        {"activation", WM_ACTIVATE, WA_ACTIVE, 0, false},
        {"application activated", WM_ACTIVATEAPP, TRUE, 0, false},
        {"screen saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, false},
    };
    for (const InputCase& c : cases) {
        if (!IsWindow(hwnd_)) {
            TearDown();
            SetUp();
        }
        SendMessageA(hwnd_, c.message, c.wParam, c.lParam);
        const bool closed = ClosedAfterPump();
        EXPECT_EQ(closed, c.closes) << c.name;
        if (closed) {
            EXPECT_TRUE(vtest::TakeQuit()) << c.name << ": the saver's end posts the quit message";
        }
    }
}

TEST_F(SaverWndTest, SystemCommandsAreComparedWhole) {
    // Exactly SC_SCREENSAVE and SC_CLOSE are swallowed; SC_CLOSE with low bits set is another value
    // and gets default processing, which closes the window.
    EXPECT_EQ(SendMessageA(hwnd_, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_FALSE(ClosedAfterPump());
    SendMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);  // not exactly SC_CLOSE: default closes
    EXPECT_TRUE(ClosedAfterPump());
}

namespace {

// Hidden, so that the only mouse-move messages are the test's own (a shown window gets one from
// the system at once, wherever the pointer is).
class HiddenSaverWndTest : public SaverWndTest {
protected:
    bool CreateWindowUnderTest() override {
        return window_->CreateInRect(WS_EX_TOPMOST, WS_POPUP, Rect{0, 0, 320, 240}, nullptr);
    }
};

}  // namespace

TEST_F(HiddenSaverWndTest, TheFirstMousePositionIsOnlyRecorded) {
    struct Step {
        int x, y;
        bool closes;
    };
    const Step moveInX[] = {{40, 30, false}, {40, 30, false}, {41, 30, true}};
    const Step moveInY[] = {{40, 30, false}, {40, 31, true}};
    struct Sequence {
        const char* name;
        const Step* steps;
        size_t count;
    } sequences[] = {{"one pixel in x", moveInX, 3}, {"one pixel in y", moveInY, 2}};
    for (const Sequence& s : sequences) {
        if (!IsWindow(hwnd_)) {
            TearDown();
            SetUp();
        }
        for (size_t i = 0; i < s.count; ++i) {
            SendMessageA(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(s.steps[i].x, s.steps[i].y));
            EXPECT_EQ(ClosedAfterPump(), s.steps[i].closes) << s.name << ", move " << i;
        }
    }
}

TEST_F(SaverWndTest, ThePointerRestingWhereTheWindowAppearedDoesNotClose) {
    // Whether or not the system sent its move when the window appeared, the pointer's own place
    // counts as the first position; one pixel away closes.
    vtest::PumpFor(100);
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(hwnd_, &at);
    SendMessageA(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(ClosedAfterPump());
    SendMessageA(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 1, at.y));
    EXPECT_TRUE(ClosedAfterPump());
}

TEST_F(SaverWndTest, PointerIsRemovedAndDeactivationRefused) {
    EXPECT_EQ(SendMessageA(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(SendMessageA(hwnd_, WM_NCACTIVATE, FALSE, 0), FALSE);
    EXPECT_FALSE(ClosedAfterPump());
}

TEST_F(SaverWndTest, PaintClearsToBlackAndDrawsTheCurrentFrame) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    {
        HDC dc = GetDC(hwnd_);
        vellora::win::GdiCanvas canvas(dc);
        auto red = canvas.CreateSolidBrush(vellora::Rgb(255, 0, 0));
        canvas.FillRect(Rect{0, 0, client.right, client.bottom}, *red);
        ReleaseDC(hwnd_, dc);
    }
    // No message is looked at from here on, so no tick moves the balls before the pixels are read.
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
    const vtest::Pixels pixels = vtest::ReadClientPixels(hwnd_);
    int redLeft = 0;
    for (std::uint32_t c : pixels.colors) redLeft += c == vellora::Rgb(255, 0, 0);
    EXPECT_EQ(redLeft, 0) << "the whole client area was cleared";
    const auto& balls = sim_.world.balls;
    ASSERT_FALSE(balls.empty());
    const auto& top = balls.back();  // drawn last, so nothing covers its centre
    EXPECT_EQ(pixels.At(static_cast<int>(top->worldX), static_cast<int>(top->worldY)), top->color);
    EXPECT_GT(pixels.CountNonBlack(), 0);
}

TEST_F(SaverWndTest, DestructionStopsTheFrameTimer) {
    EXPECT_NE(GetPropA(hwnd_, vellora::win::kAnimTimerProperty), nullptr) << "creation started the timer";
    const std::uint32_t before = sim_.world.frameCount;
    vtest::PumpFor(100);
    EXPECT_GT(sim_.world.frameCount, before) << "ticks run frames";
    DestroyWindow(hwnd_);
    EXPECT_TRUE(vtest::TakeQuit() || (vtest::PumpFor(20), vtest::TakeQuit()));
    const std::uint32_t atEnd = sim_.world.frameCount;
    vtest::PumpFor(100);
    EXPECT_EQ(sim_.world.frameCount, atEnd) << "no frame after the window's end";
}

namespace {

// A preview-style window that tells when its object is gone.
class WatchedAnimWnd : public AnimWnd {
public:
    WatchedAnimWnd(Simulation& sim, const vellora::Profile& profile, bool* deleted)
        : AnimWnd(true, sim, profile), deleted_(deleted) {}
    ~WatchedAnimWnd() override { *deleted_ = true; }

private:
    bool* deleted_;
};

}  // namespace

TEST(AnimWnd, PreviewChildFillsItsHostDrawsThereAndIsDeletedWithIt) {
    Simulation sim;
    MemoryProfile profile;
    vtest::TestWindow host(nullptr, WS_POPUP | WS_VISIBLE, RECT{10, 10, 210, 160});
    vtest::PumpFor(20);
    bool deleted = false;
    auto* window = new WatchedAnimWnd(sim, profile, &deleted);
    RECT client{};
    GetClientRect(host.Handle(), &client);
    ASSERT_TRUE(window->CreateInRect(0, WS_CHILD | WS_VISIBLE, Rect{0, 0, client.right, client.bottom},
                                     host.Handle()));
    HWND child = window->Handle();
    EXPECT_EQ(GetParent(child), host.Handle());
    RECT rc{};
    GetClientRect(child, &rc);
    EXPECT_EQ(rc.right, client.right);
    EXPECT_EQ(rc.bottom, client.bottom);
    vellora::SetupWorld(sim, profile, Rect{0, 0, client.right, client.bottom}, true);
    ASSERT_EQ(sim.world.balls.size(), 3u) << "the preview world";
    vtest::PumpFor(300);
    // The balls are drawn inside the host, each at its place in the child's client area.
    const vtest::Pixels pixels = vtest::ReadClientPixels(child);
    for (const auto& ball : sim.world.balls) {
        EXPECT_EQ(pixels.At(static_cast<int>(ball->worldX), static_cast<int>(ball->worldY)), ball->color);
    }
    const vtest::Pixels seenInHost = vtest::ReadClientPixels(host.Handle());
    EXPECT_GT(seenInHost.CountNonBlack(), 0);
    host.Destroy();
    EXPECT_TRUE(deleted) << "the object goes with its window";
    EXPECT_FALSE(IsWindow(child));
}

TEST(AnimWnd, FramePeriodIsTheStoredRefreshRatePlusOne) {
    struct Case {
        const char* name;
        bool stored;
        int refreshRate;
    } cases[] = {{"empty store (2 ms)", false, 0}, {"RefreshRate 20 (21 ms)", true, 20}};
    for (const Case& c : cases) {
        Simulation sim;
        MemoryProfile profile;
        if (c.stored) vellora::WriteSetting(profile, vellora::Setting::RefreshRate, c.refreshRate);
        const double period = vtest::MeasureFramePeriod(sim, profile);
        std::printf("[ timing ] frame timer, %s: %.2f ms per frame\n", c.name, period);
        ASSERT_GT(period, 0.0) << c.name;
        if (c.stored) {
            EXPECT_GT(period, 15.0) << c.name;
            EXPECT_LT(period, 40.0) << c.name;
        } else {
            EXPECT_LT(period, 12.0) << c.name;
        }
    }
}
