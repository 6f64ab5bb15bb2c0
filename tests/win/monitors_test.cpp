// The full-screen run over every monitor. FullScreenRun: in this process, one window and one world
// per monitor, each window on its monitor's pixels exactly, the whole run ending at the first input
// on any window (on one monitor as on several). TwoMonitors: the built saver on a display with two
// monitors of different sizes, driven with real input through the X server; scripts/test-monitors
// runs it there.
#include "saver/app/full_screen_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "saver/app/anim_timer.h"
#include "saver/app/anim_wnd.h"
#include "saver/app/screens.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "test_support.h"
#include "ui_support.h"
#include "win/handles.h"

using vellora::FullScreenRun;
using vellora::MemoryProfile;
using vellora::Rect;
using vellora::Setting;
using vellora::Simulation;

namespace {

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Rect WindowArea(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

std::string Describe(const Rect& r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%d, %d)-(%d, %d) %dx%d", r.left, r.top, r.right, r.bottom, r.Width(),
                  r.Height());
    return text;
}

// Where the system's monitors get saver windows.
std::vector<Rect> MonitorWindowAreas() {
    const Rect primaryScreen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return vellora::SaverWindowAreas(FullScreenRun::SystemMonitors(), primaryScreen);
}

// Every ball's centre lies inside the area (the window's client rectangle) it is drawn in.
::testing::AssertionResult BallsInside(const Simulation& sim, const Rect& client) {
    for (const auto& ball : sim.world.balls) {
        if (!(ball->worldX >= client.left && ball->worldX < client.right && ball->worldY >= client.top &&
              ball->worldY < client.bottom)) {
            return ::testing::AssertionFailure()
                   << "ball " << ball->index << " at (" << ball->worldX << ", " << ball->worldY << ") outside "
                   << Describe(client);
        }
    }
    return ::testing::AssertionSuccess();
}

class FullScreenRunTest : public ::testing::Test {
protected:
    void TearDown() override {
        run_.reset();
        vtest::PumpFor(20);
        vtest::TakeQuit();
        vellora::TeardownWorld(sim_);
    }
    // Starts a run over the system's monitors with the settings stored so far.
    void Start() {
        if (run_) TearDown();
        vtest::TakeQuit();
        run_ = std::make_unique<FullScreenRun>(sim_, profile_);
        ASSERT_NE(run_->Start(), nullptr);
        windows_ = run_->Windows();
        vtest::PumpFor(50);
        ASSERT_FALSE(AllGone()) << "the run ended by itself";
    }
    bool AllGone() const {
        return std::none_of(windows_.begin(), windows_.end(), [](HWND w) { return IsWindow(w) != FALSE; });
    }
    // Whether every window is gone once the posted messages have been handled.
    bool EndedAfterPump() {
        vtest::PumpUntil([&] { return AllGone(); }, 1000);
        return AllGone();
    }
    // Waits until every world has run at least frames frames.
    bool RunFrames(std::uint32_t frames) {
        return vtest::PumpUntil(
            [&] {
                for (size_t i = 0; i < windows_.size(); ++i) {
                    if (run_->World(i).world.frameCount < frames) return false;
                }
                return true;
            },
            10000);
    }

    Simulation sim_;
    MemoryProfile profile_;
    std::unique_ptr<FullScreenRun> run_;
    std::vector<HWND> windows_;
};

}  // namespace

TEST_F(FullScreenRunTest, EveryMonitorGetsAWindowOnItsPixelsAndAWorldOfItsOwn) {
    vellora::WriteSetting(profile_, Setting::NumBalls, 6);
    Start();
    const std::vector<Rect> areas = MonitorWindowAreas();
    ASSERT_EQ(windows_.size(), areas.size());
    ASSERT_EQ(windows_.size(), static_cast<size_t>(GetSystemMetrics(SM_CMONITORS)))
        << "monitors side by side each get a window";
    EXPECT_EQ(WindowArea(windows_[0]), (Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}))
        << "the primary monitor's window comes first and covers the screen as a one-monitor run does";
    EXPECT_EQ(&run_->World(0), &sim_) << "the primary monitor runs the application's world";
    EXPECT_EQ(GetForegroundWindow(), windows_[0]) << "the primary monitor's window has the keyboard";
    for (size_t i = 0; i < windows_.size(); ++i) {
        const HWND w = windows_[i];
        std::printf("[ screen ] window %zu on %s\n", i, Describe(WindowArea(w)).c_str());
        EXPECT_EQ(WindowArea(w), areas[i]) << "window " << i << " covers its monitor's pixels exactly";
        EXPECT_TRUE(IsWindowVisible(w)) << i;
        EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) << i;
        EXPECT_NE(GetPropA(w, vellora::win::kAnimTimerProperty), nullptr) << "window " << i << " runs its own timer";
        const Simulation& world = run_->World(i);
        EXPECT_EQ(world.world.balls.size(), 6u) << "window " << i << " runs the stored settings";
        EXPECT_TRUE(BallsInside(world, Rect{0, 0, areas[i].Width(), areas[i].Height()})) << "window " << i;
        if (i > 0) {
            EXPECT_NE(world.world.balls[0]->worldX, run_->World(0).world.balls[0]->worldX)
                << "window " << i << " draws a world of its own";
        }
    }
    // Balls keep to their own monitor while they move.
    ASSERT_TRUE(RunFrames(200));
    for (size_t i = 0; i < windows_.size(); ++i) {
        EXPECT_TRUE(BallsInside(run_->World(i), Rect{0, 0, areas[i].Width(), areas[i].Height()})) << "window " << i;
    }
}

TEST_F(FullScreenRunTest, EveryMonitorRunsTheStoredSceneLengthAndChangesScene) {
    vellora::WriteSetting(profile_, Setting::NumBalls, 3);
    vellora::WriteSetting(profile_, Setting::BallSize, 12);
    vellora::WriteSetting(profile_, Setting::ScenarioCounter, 1);  // one unit: 600 frames
    Start();
    std::vector<std::uint32_t> highest(windows_.size(), 0);
    std::vector<bool> changed(windows_.size(), false);
    for (size_t i = 0; i < windows_.size(); ++i) {
        EXPECT_EQ(run_->World(i).settings.scenarioCounter, 600u) << i;
        EXPECT_EQ(run_->World(i).settings.ballSize, 12.0) << i;
    }
    // A scene change sets the frame count back: watch each world's count fall.
    const bool allChanged = vtest::PumpUntil(
        [&] {
            for (size_t i = 0; i < windows_.size(); ++i) {
                const std::uint32_t now = run_->World(i).world.frameCount;
                if (now < highest[i]) changed[i] = true;
                highest[i] = std::max(highest[i], now);
            }
            return std::all_of(changed.begin(), changed.end(), [](bool c) { return c; });
        },
        30000);
    EXPECT_TRUE(allChanged) << "every monitor starts a new scene after 600 frames";
    const std::vector<Rect> areas = MonitorWindowAreas();
    for (size_t i = 0; i < windows_.size() && i < areas.size(); ++i) {
        EXPECT_EQ(run_->World(i).world.balls.size(), 3u) << i;
        EXPECT_TRUE(BallsInside(run_->World(i), Rect{0, 0, areas[i].Width(), areas[i].Height()})) << i;
    }
}

namespace {

struct RunInput {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool toLastWindow;  // to the last monitor's window, else to the primary one's
    bool ends;
};

}  // namespace

TEST_F(FullScreenRunTest, InputOnAnyWindowEndsTheWholeRunAtOnce) {
    const RunInput cases[] = {
        {"key press", WM_KEYDOWN, 'A', 0, false, true},
        {"Alt key", WM_SYSKEYDOWN, VK_MENU, 0, false, true},
        {"left button on the last monitor", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), true, true},
        {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5), true, true},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), false, true},
        {"extra button", WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), MAKELPARAM(5, 5), true, true},
        {"second extra button", WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2), MAKELPARAM(5, 5), false, true},
        {"wheel roll", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(5, 5), false, true},
        {"sideways wheel roll", WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(5, 5), true, true},
        {"deactivation in favour of a window outside the run", WM_ACTIVATE, WA_INACTIVE, 0, true, true},
        {"other application", WM_ACTIVATEAPP, FALSE, 0, true, true},
        {"key release", WM_KEYUP, 'A', 0, false, false},
        {"button release", WM_LBUTTONUP, 0, MAKELPARAM(5, 5), true, false},
        {"screen saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0, true, false},
    };
    for (const RunInput& c : cases) {
        Start();
        HWND target = c.toLastWindow ? windows_.back() : windows_.front();
        SendMessageA(target, c.message, c.wParam, c.lParam);
        const bool ended = EndedAfterPump();
        EXPECT_EQ(ended, c.ends) << c.name;
        if (ended) {
            EXPECT_TRUE(vtest::TakeQuit()) << c.name << ": the end posts the quit message";
            // No window's timer runs on: no world takes another frame.
            std::vector<std::uint32_t> counts;
            for (size_t i = 0; i < windows_.size(); ++i) counts.push_back(run_->World(i).world.frameCount);
            vtest::PumpFor(60);
            for (size_t i = 0; i < windows_.size(); ++i) {
                EXPECT_EQ(run_->World(i).world.frameCount, counts[i]) << c.name << ": window " << i << " stopped";
            }
        } else {
            EXPECT_FALSE(std::any_of(windows_.begin(), windows_.end(), [](HWND w) { return !IsWindow(w); }))
                << c.name << ": no window of the run went";
        }
    }
}

TEST_F(FullScreenRunTest, ActivationPassingWithinTheRunDoesNotEndIt) {
    Start();
    // The activation moving to another window of the run (a click on another monitor, which ends
    // the run by itself) is not the user leaving; with one monitor the window hands it to itself.
    SendMessageA(windows_.front(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(windows_.back()));
    SendMessageA(windows_.back(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(windows_.front()));
    EXPECT_FALSE(EndedAfterPump());
    EXPECT_EQ(SendMessageA(windows_.back(), WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(windows_.front())), FALSE)
        << "deactivation is still refused";
    EXPECT_EQ(SendMessageA(windows_.back(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(windows_.back()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE)
        << "a click does not move the activation: the button press itself ends the run";
    EXPECT_FALSE(EndedAfterPump());
}

TEST_F(FullScreenRunTest, ThePointersRestingPlaceIsItsFirstPositionOnEveryWindow) {
    struct Case {
        const char* name;
        int dx, dy;
        bool ends;
    } cases[] = {{"where it rests", 0, 0, false}, {"one pixel right", 1, 0, true}, {"one pixel up", 0, -1, true}};
    for (size_t target = 0; target < 2; ++target) {
        for (const Case& c : cases) {
            Start();
            POINT rest{};
            ASSERT_TRUE(GetCursorPos(&rest));
            HWND w = target == 0 ? windows_.front() : windows_.back();
            // Every window reports the same screen position the same way, whatever monitor it is on.
            POINT at{rest.x + c.dx, rest.y + c.dy};
            ScreenToClient(w, &at);
            SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
            SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
            EXPECT_EQ(EndedAfterPump(), c.ends)
                << c.name << ", reported by the " << (target == 0 ? "first" : "last") << " window";
        }
    }
}

TEST_F(FullScreenRunTest, EndingAWindowFromOutsideEndsTheRun) {
    Start();
    DestroyWindow(windows_.back());
    EXPECT_TRUE(AllGone()) << "the windows go together, within the one call";
    EXPECT_TRUE(vtest::TakeQuit() || (vtest::PumpFor(20), vtest::TakeQuit()));
}

// ---------------------------------------------------------------------------------------------
// The built saver on two monitors of different sizes, with real input through the X server.

namespace {

constexpr vellora::ColorRef kDesktop = vellora::Rgb(0, 0, 255);  // no ball, spark or palette colour

bool PaintDesktop(HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (message != WM_PAINT) return false;
    vellora::win::PaintDC dc(hwnd);
    vellora::win::GdiObject<HBRUSH> blue(CreateSolidBrush(kDesktop));
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc.Get(), &client, blue.Get());
    result = 0;
    return true;
}

struct Look {
    int lit = 0;      // neither black nor desktop
    int desktop = 0;  // the desktop showing through
    int pixels = 0;
};

Look LookAt(const vtest::Pixels& p) {
    Look look;
    look.pixels = p.width * p.height;
    for (std::uint32_t c : p.colors) {
        if (c == kDesktop) ++look.desktop;
        else if (c != 0) ++look.lit;
    }
    return look;
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        monitors_ = MonitorWindowAreas();
        ASSERT_EQ(monitors_.size(), 2u) << "runs on a display with two monitors side by side (scripts/test-monitors)";
        ASSERT_NE(monitors_[0].Width() * monitors_[0].Height(), monitors_[1].Width() * monitors_[1].Height())
            << "of different sizes, which leave a part of the virtual screen no monitor shows";
        // A desktop of our own in a colour the saver never draws, so that any of it showing is seen.
        for (const Rect& m : monitors_) {
            desktop_.push_back(std::make_unique<vtest::TestWindow>(&PaintDesktop, WS_POPUP | WS_VISIBLE, ToRECT(m)));
        }
        ASSERT_TRUE(DesktopShowsEverywhere()) << "the desktop is up on both monitors";
    }

    bool DesktopShowsEverywhere() {
        return vtest::PumpUntil(
            [&] {
                for (const Rect& m : monitors_) {
                    const Look look = LookAt(vtest::ReadScreenRect(ToRECT(m)));
                    if (look.desktop != look.pixels) return false;
                }
                return true;
            },
            5000);
    }

    // Moves the real pointer and waits until the system has it there.
    bool PointerTo(POINT target) {
        if (vtest::Xdotool("mousemove " + std::to_string(target.x) + " " + std::to_string(target.y)).status != 0)
            return false;
        return vtest::PumpUntil(
            [&] {
                POINT at{};
                return GetCursorPos(&at) && at.x == target.x && at.y == target.y;
            },
            5000);
    }

    // Waits until the saver shows a window on each monitor with balls drawn on all of them.
    bool RunsOnBothMonitors(const vtest::SaverProcess& saver) {
        return vtest::PumpUntil(
            [&] {
                if (saver.VisibleTopLevelWindows().size() != monitors_.size()) return false;
                for (const Rect& m : monitors_) {
                    if (LookAt(vtest::ReadScreenRect(ToRECT(m))).lit == 0) return false;
                }
                return true;
            },
            20000);
    }

    // Waits until the picture has changed on every monitor.
    bool BallsMoveOnEveryMonitor() {
        for (const Rect& m : monitors_) {
            const vtest::Pixels first = vtest::ReadScreenRect(ToRECT(m));
            if (!vtest::PumpUntil([&] { return vtest::ReadScreenRect(ToRECT(m)).colors != first.colors; }, 5000))
                return false;
        }
        return true;
    }

    bool OnAMonitor(int x, int y) const {
        return std::any_of(monitors_.begin(), monitors_.end(),
                           [&](const Rect& m) { return x >= m.left && x < m.right && y >= m.top && y < m.bottom; });
    }

    POINT InsideMonitor(size_t i) const {
        const Rect& m = monitors_[i];
        return POINT{m.left + m.Width() / 2 + 37, m.top + m.Height() / 2 + 23};
    }

    std::vector<Rect> monitors_;
    std::vector<std::unique_ptr<vtest::TestWindow>> desktop_;
};

}  // namespace

TEST_F(TwoMonitors, BothMonitorsAreBlackWithBallsMovingOnEachAndNoDesktop) {
    ASSERT_TRUE(PointerTo(InsideMonitor(0)));
    vtest::SaverProcess saver("/s");
    ASSERT_TRUE(saver.Started());
    ASSERT_TRUE(RunsOnBothMonitors(saver)) << "balls on each monitor";

    std::vector<Rect> windows;
    for (HWND w : saver.VisibleTopLevelWindows()) windows.push_back(WindowArea(w));
    auto byLeft = [](const Rect& a, const Rect& b) { return a.left < b.left; };
    std::sort(windows.begin(), windows.end(), byLeft);
    std::vector<Rect> expected = monitors_;
    std::sort(expected.begin(), expected.end(), byLeft);
    EXPECT_EQ(windows, expected) << "one window on each monitor's pixels, none beyond";

    for (size_t i = 0; i < monitors_.size(); ++i) {
        const Look look = LookAt(vtest::ReadScreenRect(ToRECT(monitors_[i])));
        std::printf("[ screen ] monitor %zu %s: %d lit pixels (%.1f%%), %d of the desktop\n", i,
                    Describe(monitors_[i]).c_str(), look.lit, 100.0 * look.lit / look.pixels, look.desktop);
        EXPECT_EQ(look.desktop, 0) << "no desktop showing on monitor " << i;
        EXPECT_GT(look.lit, 0) << "balls on monitor " << i;
        EXPECT_LT(look.lit, look.pixels / 2) << "monitor " << i << " is mostly black";
    }
    EXPECT_TRUE(BallsMoveOnEveryMonitor());

    // The screenshot of the whole virtual screen greys out the part no monitor shows (what the X
    // server hands back there is no monitor's picture), so the monitors' outlines can be told.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    vtest::Pixels whole = vtest::ReadScreenRect(
        RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
    for (int y = 0; y < whole.height; ++y) {
        for (int x = 0; x < whole.width; ++x) {
            if (OnAMonitor(left + x, top + y)) continue;
            whole.colors[static_cast<size_t>(y) * whole.width + x] = vellora::Rgb(64, 64, 64);
        }
    }
    const std::string shot = vtest::SaveShot(whole, "two-monitors");
    if (!shot.empty()) std::printf("[ screen ] screenshot %s\n", shot.c_str());

    ASSERT_EQ(vtest::Xdotool("key space").status, 0);
    ASSERT_TRUE(saver.WaitForExit(10000)) << "a key ends the run";
    EXPECT_EQ(saver.ExitCode(), 0u);
    EXPECT_TRUE(DesktopShowsEverywhere()) << "nothing of the saver is left on either monitor";
}

TEST_F(TwoMonitors, RealInputOnEitherMonitorEndsTheRun) {
    struct Case {
        const char* name;
        size_t pointerOn;  // the monitor the pointer rests on when the run starts
        const char* input;
    } cases[] = {
        {"a key, pointer on the primary monitor", 0, "key a"},
        {"a key, pointer on the second monitor", 1, "key a"},
        {"a left click on the second monitor", 1, "click 1"},
        {"a middle click on the second monitor", 1, "click 2"},
        {"a right click on the primary monitor", 0, "click 3"},
        {"a wheel roll on the primary monitor", 0, "click 4"},
        {"a wheel roll on the second monitor", 1, "click 5"},
        {"an extra button on the second monitor", 1, "click 8"},
        {"a one-pixel move on the primary monitor", 0, "mousemove_relative 1 0"},
        {"a one-pixel move on the second monitor", 1, "mousemove_relative 0 1"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PointerTo(InsideMonitor(c.pointerOn))) << c.name;
        vtest::SaverProcess saver("/s");
        ASSERT_TRUE(saver.Started()) << c.name;
        ASSERT_TRUE(RunsOnBothMonitors(saver)) << c.name;
        EXPECT_TRUE(BallsMoveOnEveryMonitor()) << c.name;
        EXPECT_TRUE(saver.Running()) << c.name << ": the pointer resting where the run found it does not end it";
        ASSERT_EQ(vtest::Xdotool(c.input).status, 0) << c.name;
        EXPECT_TRUE(saver.WaitForExit(10000)) << c.name << " ends the run";
        if (!saver.Running()) {
            EXPECT_EQ(saver.ExitCode(), 0u) << c.name;
        }
        EXPECT_TRUE(DesktopShowsEverywhere()) << c.name << ": nothing of the saver is left on either monitor";
    }
}
