// vellora on a virtual X display, run as a user or XScreenSaver would run it: the pictures it
// leaves on a window, pixel for pixel against the simulator's; a resize; the ways a run ends; and
// the refusals of its command line.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "saver/app/frame_tick.h"
#include "saver/config/product.h"
#include "saver/config/settings.h"
#include "saver/render/soft_canvas.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tests/x11/x11_harness.h"

namespace vellora::xtest {
namespace {

constexpr int kScreenWidth = 640, kScreenHeight = 480;

// The hack's own window: the top-level window with the product's name.
Window FindOwnWindow(Display* display) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::string(name) == kDisplayName) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

// The frame number in a line of --verbose output: "... after frame N ...".
long long FrameIn(const std::string& text, const std::string& what) {
    std::smatch m;
    const std::regex re(what + " after frame ([0-9]+)");
    return std::regex_search(text, m, re) ? std::stoll(m[1].str()) : -1;
}

enum class How { WindowId, WindowIdOneDashHex, RootWithHexEnv, RootOneDashDecimalEnv, RootWindow };

struct PictureCase {
    const char* name;
    How how;
    int width, height;
    int seed, frames;
    std::vector<std::string> options;   // the hack's
    std::vector<std::string> stored;    // the same for the simulator, as Key=Value
    int countBalls;                     // balls the picture must show; 0: not counted (sparks, deaths)
    int radius;
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

class PictureTest : public ::testing::TestWithParam<PictureCase> {};

// The window the hack was given ends up showing exactly what vellora-sim draws for the same seed,
// size and frame count.
TEST_P(PictureTest, TheWindowShowsTheSimulatorsPicture) {
    const PictureCase& c = GetParam();
    XServer x(kScreenWidth, kScreenHeight);
    ASSERT_TRUE(x.Ok());
    const TempDir tmp("vellora-picture");
    const std::string& dir = tmp.Path();
    const Window window = c.how == How::RootWindow ? DefaultRootWindow(x.Dpy()) : MakeWindow(x.Dpy(), c.width, c.height);

    std::vector<std::string> args = {VELLORA_PATH};
    std::vector<std::string> env = {"DISPLAY=" + x.Name(), "XSCREENSAVER_WINDOW"};
    switch (c.how) {
    case How::WindowId: args.insert(args.end(), {"--window-id", std::to_string(window)}); break;
    case How::WindowIdOneDashHex: args.insert(args.end(), {"-window-id", Hex(window)}); break;
    case How::RootWithHexEnv:
        args.push_back("--root");
        env.push_back("XSCREENSAVER_WINDOW=" + Hex(window));
        break;
    case How::RootOneDashDecimalEnv:
        args.push_back("-root");
        env.push_back("XSCREENSAVER_WINDOW=" + std::to_string(window));
        break;
    case How::RootWindow: args.push_back("--root"); break;
    }
    args.insert(args.end(), {"--seed", std::to_string(c.seed), "--frames", std::to_string(c.frames)});
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::string err;
    ASSERT_EQ(RunToEnd(args, env, dir, nullptr, &err), 0) << err;
    EXPECT_EQ(err, "");
    const Picture shown = Grab(x.Dpy(), window);
    WritePng(shown, ShotPath(std::string("picture-") + c.name + ".png"));

    std::vector<std::string> sim = {VELLORA_SIM_PATH, "--seed", std::to_string(c.seed), "--frames",
                                    std::to_string(c.frames), "--size",
                                    std::to_string(c.width) + "x" + std::to_string(c.height), "--png", dir + "/sim"};
    for (const std::string& s : c.stored) sim.insert(sim.end(), {"--set", s});
    ASSERT_EQ(RunToEnd(sim, {}, dir), 0);
    char frameFile[32];
    std::snprintf(frameFile, sizeof frameFile, "/sim/frame-%06d.png", c.frames);
    Picture expected;
    ASSERT_TRUE(ReadPng(dir + frameFile, expected));
    EXPECT_EQ(DifferentPixels(shown, expected), 0) << "see " << ShotPath(std::string("picture-") + c.name + ".png");
    EXPECT_GT(LitPixels(shown), 0);
    if (c.countBalls) {
        EXPECT_EQ(BallsShown(shown, c.radius), c.countBalls);
    }
}

const PictureCase kPictureCases[] = {
    {"window_id", How::WindowId, 400, 300, 1, 120, {"--count", "6", "--radius", "20"}, {"NumBalls=6", "BallSize=20"}, 6, 20},
    {"window_id_one_dash_hex", How::WindowIdOneDashHex, 320, 240, 2, 200,
     {"-count", "8", "-radius=15", "-gravity", "20"}, {"NumBalls=8", "BallSize=15", "Gravity=20"}, 8, 15},
    {"root_env_hex_sparks", How::RootWithHexEnv, 500, 400, 3, 300,
     {"--count", "40", "--radius", "12", "--sparks", "yes", "--scenario", "good-vs-evil", "--degrees", "5"},
     {"NumBalls=40", "BallSize=12", "Sparks=1", "Game=2", "Colors=5"}, 0, 12},
    {"root_env_decimal_decay", How::RootOneDashDecimalEnv, 300, 200, 4, 150,
     {"-scenario", "all-decay", "-count", "12", "-radius", "10", "-degrees", "3", "-velocity", "30"},
     {"Game=5", "NumBalls=12", "BallSize=10", "Colors=3", "Velocity=30"}, 0, 10},
    {"root_window_defaults", How::RootWindow, kScreenWidth, kScreenHeight, 5, 100, {}, {}, 20, 30},
};

INSTANTIATE_TEST_SUITE_P(Hack, PictureTest, ::testing::ValuesIn(kPictureCases),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// One X server and one directory per test; Start runs vellora on that server.
class HackTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x.Ok()); }

    std::unique_ptr<Process> Start(std::vector<std::string> args) {
        args.insert(args.begin(), VELLORA_PATH);
        return std::make_unique<Process>(args, std::vector<std::string>{"DISPLAY=" + x.Name(), "XSCREENSAVER_WINDOW"},
                                         dir + "/out", dir + "/err");
    }

    XServer x{kScreenWidth, kScreenHeight};
    const TempDir tmp{"vellora-hack"};
    const std::string& dir = tmp.Path();
};

// A resize starts a scene at the new size. With Just Bounce and no sparks the generator is drawn
// only when a scene is set up, so the picture after the resize is the simulator's second scene,
// set up at the new size, after the frames the hack reports having run since.
TEST_F(HackTest, AResizeStartsASceneAtTheNewSize) {
    const Window window = MakeWindow(x.Dpy(), 320, 240);
    const auto hack = Start({"--window-id", Hex(window), "--seed", "11", "--count", "8", "--radius", "12",
                             "--refresh-rate", "3", "--verbose"});
    ASSERT_TRUE(WaitUntil([&] { return BallsShown(Grab(x.Dpy(), window), 12) == 8; }, 30));

    XResizeWindow(x.Dpy(), window, 640, 480);
    XSync(x.Dpy(), False);
    ASSERT_TRUE(WaitUntil([&] { return FrameIn(hack->Err(), "new scene at 640x480") >= 0; }, 30)) << hack->Err();
    const long long resizedAt = FrameIn(hack->Err(), "new scene at 640x480");
    // The new scene has been drawn before it is ended.
    ASSERT_TRUE(WaitUntil([&] { return BallsShown(Grab(x.Dpy(), window), 12) == 8; }, 30));
    hack->Signal(SIGTERM);
    ASSERT_TRUE(hack->Wait(30));
    ASSERT_TRUE(hack->ExitedWith(0)) << hack->Err();
    const long long endedAt = FrameIn(hack->Err(), "ended");
    ASSERT_GE(endedAt, resizedAt) << hack->Err();

    const Picture shown = Grab(x.Dpy(), window);
    WritePng(shown, ShotPath("resize.png"));
    MemoryProfile profile;
    StoredSettings().Set(Setting::NumBalls, 8).Set(Setting::BallSize, 12).Set(Setting::RefreshRate, 3).Write(profile);
    Simulation sim(11);
    SetupWorld(sim, profile, Rect{0, 0, 320, 240}, false);
    const Rect area{0, 0, 640, 480};
    SetupWorld(sim, profile, area, false);
    SoftCanvas expected(640, 480);
    for (long long frame = resizedAt; frame < endedAt; ++frame) TickFrame(sim, profile, area, &expected);
    Picture replay{640, 480, expected.Pixels()};
    EXPECT_EQ(DifferentPixels(shown, replay), 0) << (endedAt - resizedAt) << " frames after the resize; see "
                                                 << ShotPath("resize.png");
    EXPECT_EQ(BallsShown(shown, 12), 8);
}

// SIGTERM and SIGINT end a run at once and cleanly, whatever it draws on.
TEST_F(HackTest, SigtermAndSigintEndItPromptly) {
    const Window given = MakeWindow(x.Dpy(), 300, 200);
    for (const bool ownWindow : {true, false}) {
        for (const int signal : {SIGTERM, SIGINT}) {
            const char* signalName = signal == SIGTERM ? "SIGTERM" : "SIGINT";
            std::vector<std::string> args = {"--verbose"};
            if (!ownWindow) args.insert(args.end(), {"--window-id", Hex(given)});
            // The balls of the run before must not pass for this one's.
            XClearWindow(x.Dpy(), given);
            XSync(x.Dpy(), False);
            const auto hack = Start(args);
            Window window = 0;
            ASSERT_TRUE(WaitUntil(
                [&] {
                    window = ownWindow ? FindOwnWindow(x.Dpy()) : given;
                    return window && hack->Err().find("drawing on window") != std::string::npos &&
                           LitPixels(Grab(x.Dpy(), window)) > 0;
                },
                30));
            const auto start = std::chrono::steady_clock::now();
            hack->Signal(signal);
            ASSERT_TRUE(hack->Wait(30));
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            char line[160];
            std::snprintf(line, sizeof line, "%s ended vellora (%s) in %.1f ms", signalName,
                          ownWindow ? "its own window" : "--window-id", ms);
            Report(line);
            EXPECT_TRUE(hack->ExitedWith(0)) << hack->Err();
            EXPECT_GE(FrameIn(hack->Err(), std::string("ended")), 1) << hack->Err();
            EXPECT_NE(hack->Err().find(std::string("(") + signalName + ")"), std::string::npos) << hack->Err();
            if (ownWindow) {
                EXPECT_EQ(FindOwnWindow(x.Dpy()), 0u);
            }
        }
    }
}

TEST_F(HackTest, TheWindowManagersCloseRequestEndsItsOwnWindow) {
    const auto hack = Start({"-window", "--verbose"});
    Window window = 0;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindOwnWindow(x.Dpy())) && LitPixels(Grab(x.Dpy(), window)) > 0; }, 30));
    // What a window manager sends for its close button.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x.Dpy(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.Dpy(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.Dpy(), window, False, NoEventMask, &event);
    XFlush(x.Dpy());
    ASSERT_TRUE(hack->Wait(30));
    EXPECT_TRUE(hack->ExitedWith(0)) << hack->Err();
    EXPECT_NE(hack->Err().find("closed by the window manager"), std::string::npos) << hack->Err();
    EXPECT_EQ(FindOwnWindow(x.Dpy()), 0u);
}

// XScreenSaver destroys its window when it is done; a hack still drawing then ends without errors.
TEST_F(HackTest, ItEndsWhenTheWindowItDrawsOnIsDestroyed) {
    const Window window = MakeWindow(x.Dpy(), 300, 200);
    const auto hack = Start({"--window-id", Hex(window), "--verbose"});
    ASSERT_TRUE(WaitUntil([&] { return LitPixels(Grab(x.Dpy(), window)) > 0; }, 30));
    XDestroyWindow(x.Dpy(), window);
    XSync(x.Dpy(), False);
    ASSERT_TRUE(hack->Wait(30));
    EXPECT_TRUE(hack->ExitedWith(0)) << hack->Err();
    EXPECT_GE(FrameIn(hack->Err(), "ended"), 1) << hack->Err();
}

TEST_F(HackTest, ALostConnectionEndsItWithoutACrash) {
    const auto hack = Start({});
    ASSERT_TRUE(WaitUntil([&] {
        const Window w = FindOwnWindow(x.Dpy());
        return w && LitPixels(Grab(x.Dpy(), w)) > 0;
    }, 30));
    x.Kill();
    ASSERT_TRUE(hack->Wait(30));
    EXPECT_TRUE(hack->ExitedWith(1)) << "wait status " << hack->WaitStatus() << ": " << hack->Err();
    const auto lines = Lines(hack->Err());
    ASSERT_EQ(lines.size(), 1u) << hack->Err();
    EXPECT_EQ(lines[0], "vellora: lost the connection to the X server");
}

TEST(HackCommandLineTest, ABadCommandLineIsRefusedWithOneLineAndStatusTwo) {
    const TempDir tmp("vellora-options");
    const std::string& dir = tmp.Path();
    struct Case {
        std::vector<std::string> args;
        const char* xscreensaverWindow;
    };
    const Case cases[] = {
        {{"--bogus"}, nullptr},           {{"-count"}, nullptr},
        {{"--count", "many"}, nullptr},   {{"--scenario", "chess"}, nullptr},
        {{"-window-id", "0xzz"}, nullptr}, {{"--seed", "-4"}, nullptr},
        {{"--frames=x"}, nullptr},        {{"stray"}, nullptr},
        {{"-root"}, "not-a-window"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {VELLORA_PATH};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::vector<std::string> env = {"DISPLAY=:0"};
        env.push_back(c.xscreensaverWindow ? std::string("XSCREENSAVER_WINDOW=") + c.xscreensaverWindow
                                           : std::string("XSCREENSAVER_WINDOW"));
        std::string out, err;
        EXPECT_EQ(RunToEnd(args, env, dir, &out, &err), 2) << c.args[0];
        EXPECT_EQ(out, "");
        ASSERT_EQ(Lines(err).size(), 1u) << err;
        EXPECT_EQ(err.rfind("vellora: ", 0), 0u) << err;
    }
    std::string out;
    EXPECT_EQ(RunToEnd({VELLORA_PATH, "--help"}, {}, dir, &out), 0);
    for (const char* option : {"--root", "--window-id", "--count", "--scene-duration", "--sparks"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
}

TEST_F(HackTest, AWindowIdThatNamesNoWindowEndsItWithOneLine) {
    std::string err;
    EXPECT_EQ(RunToEnd({VELLORA_PATH, "--window-id", "0x7ffffff"}, {"DISPLAY=" + x.Name()}, dir, nullptr, &err), 1);
    ASSERT_EQ(Lines(err).size(), 1u) << err;
    EXPECT_NE(err.find("no window 0x7ffffff"), std::string::npos) << err;
}

}  // namespace
}  // namespace vellora::xtest
