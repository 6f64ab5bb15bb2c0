// Stored settings that no options dialog writes, as another program could leave them in the
// registry: the saver must still show moving balls and end at the user's first key press. Run on a
// large virtual screen by scripts/test-win. The figures (frame times, how long until balls show,
// how long a key press takes to end the run) are printed; only the outcomes are asserted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "saver/app/anim_wnd.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "test_support.h"

namespace {

struct StoredValue {
    const char* key;
    DWORD value;
};

struct HostileCase {
    const char* name;
    std::vector<StoredValue> values;
};

// The combinations that once hung, blanked or pinned the saver.
const HostileCase kCases[] = {
    {"1000 balls of radius 1000", {{"NumBalls", 1000}, {"BallSize", 1000}}},
    {"100 balls of radius 1000", {{"NumBalls", 100}, {"BallSize", 1000}}},
    {"1000 balls of radius 10", {{"NumBalls", 1000}, {"BallSize", 10}}},
    {"scene length 0", {{"ScenarioCounter", 0}}},
    {"scene length wrapping to 0 frames", {{"ScenarioCounter", 0x20000000}}},
    {"gravity 0xFFFFFFFF", {{"Gravity", 0xFFFFFFFF}}},
    {"1000 balls of radius 1 at speed 1000 under gravity 100",
     {{"NumBalls", 1000}, {"BallSize", 1}, {"Velocity", 1000}, {"Gravity", 100}}},
    // For comparison: the heaviest scene the options dialog can store.
    {"the dialog's heaviest: 100 balls of radius 100 at speed 40 under gravity 100",
     {{"NumBalls", 100}, {"BallSize", 100}, {"Velocity", 40}, {"Gravity", 100}}},
};

constexpr const char* kSettingsPath = "Software\\Vellora Screen Saver\\VelloraSaver\\Settings";

void StoreInRegistry(const HostileCase& c) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsPath);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const StoredValue& v : c.values)
        RegSetValueExA(key, v.key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v.value), sizeof v.value);
    RegCloseKey(key);
}

// Now on the system clock, in milliseconds since 1970, as the Linux side's "date" counts them.
double EpochMs(const FILETIME& time) {
    ULARGE_INTEGER t;
    t.LowPart = time.dwLowDateTime;
    t.HighPart = time.dwHighDateTime;
    return static_cast<double>(t.QuadPart - 116444736000000000ULL) / 10000.0;  // 100 ns units since 1601
}

// Runs a shell command line on the Linux side, waits until it has finished and gives its output
// (false when it could not be run). Wine starts a Linux program as it would a Windows one but
// hands back no process that can be waited on, so the output goes to a file that is renamed into
// place when the command is done.
bool RunLinuxCommand(const std::string& command, std::string& output) {
    static int runs = 0;
    const std::string done =
        "/tmp/vellora-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs) + ".out";
    std::string commandLine = "/bin/sh -c \"(" + command + ") >" + done + ".part; mv " + done + ".part " + done + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(vtest::WindowsPath("/bin/sh").c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        std::printf("[ note   ] /bin/sh could not be started (error %lu)\n", GetLastError());
        return false;
    }
    if (info.hThread != nullptr) CloseHandle(info.hThread);
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    const std::string windowsDone = vtest::WindowsPath(done);
    if (!vtest::PumpUntil([&] { return GetFileAttributesA(windowsDone.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        return false;
    output.clear();
    if (FILE* f = std::fopen(windowsDone.c_str(), "rb")) {
        char chunk[256];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) output.append(chunk, n);
        std::fclose(f);
    }
    DeleteFileA(windowsDone.c_str());
    return true;
}

// The world each combination gives, in this process on a window the size of the screen: the
// frame time as the frame timer measures it (refresh period 1 ms, so every tick is a whole frame).
TEST(HostileStore, EveryCombinationDrawsBallsInBoundedFrames) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (const HostileCase& c : kCases) {
        vellora::MemoryProfile profile;
        for (const StoredValue& v : c.values)
            profile.WriteInt(vellora::kSettingsSection, v.key, static_cast<std::int32_t>(v.value));
        vellora::WriteSetting(profile, vellora::Setting::RefreshRate, 0);
        vellora::Simulation sim(5);
        auto* window = new vellora::AnimWnd(true, sim, profile);
        ASSERT_TRUE(window->CreateInRect(0, WS_POPUP | WS_VISIBLE, vellora::Rect{0, 0, width, height}, nullptr));
        const HWND hwnd = window->Handle();
        const double setupStart = vtest::NowMs();
        vellora::SetupWorld(sim, profile, vellora::Rect{0, 0, width, height}, false);
        const double setupMs = vtest::NowMs() - setupStart;
        vtest::PumpFor(200);
        // A new scene counts its frames from 0 again (every 600 frames for a stored length of 0).
        std::uint32_t last = sim.world.frameCount;
        std::uint64_t frames = 0;
        const double start = vtest::NowMs();
        vtest::PumpUntil(
            [&] {
                const std::uint32_t now = sim.world.frameCount;
                frames += now >= last ? now - last : now;
                last = now;
                return false;
            },
            1000);
        const double elapsed = vtest::NowMs() - start;
        const int lit = vtest::ReadClientPixels(hwnd).CountNonBlack();
        std::printf("[ figure ] %s on %dx%d: %zu balls of radius %.0f, set up in %.1f ms, %.2f ms a frame, "
                    "%d lit pixels\n",
                    c.name, width, height, sim.world.balls.size(), sim.settings.ballSize, setupMs,
                    frames == 0 ? elapsed : elapsed / static_cast<double>(frames), lit);
        EXPECT_GT(frames, 0u) << c.name;
        EXPECT_FALSE(sim.world.balls.empty()) << c.name;
        EXPECT_GT(lit, 0) << c.name;
        DestroyWindow(hwnd);
        vtest::PumpFor(20);
        vtest::TakeQuit();
    }
}

// The saver run as the system runs it, each combination in the registry: balls show, they move,
// and a real key press through the X server ends the run. A screenshot of each is kept
// (hostile-store-<case number>).
TEST(HostileStore, TheSaverShowsBallsAndEndsOnARealKeyPress) {
    for (const HostileCase& c : kCases) {
        StoreInRegistry(c);
        vtest::SaverProcess saver("/s");
        ASSERT_TRUE(saver.Started());
        const double start = vtest::NowMs();
        const HWND window = saver.WaitForWindow(10000);
        ASSERT_NE(window, nullptr) << c.name;
        const double shown = vtest::NowMs() - start;
        // Balls show. A look at the whole window reads every pixel of another process's window,
        // which takes Wine a second or more at this size, so the looks go through the window in
        // eight bands, one a look: the figure is when the first look that saw balls began.
        RECT bounds{};
        GetWindowRect(window, &bounds);
        const LONG band = (bounds.bottom - bounds.top + 7) / 8;
        int looks = 0;
        double firstLit = -1, lookTook = 0;
        vtest::PumpUntil(
            [&] {
                const double lookStart = vtest::NowMs();
                RECT part = bounds;
                part.top += band * (looks++ % 8);
                part.bottom = std::min(bounds.bottom, part.top + band);
                const int lit = vtest::ReadScreenRect(part).CountNonBlack();
                lookTook = vtest::NowMs() - lookStart;
                if (lit == 0) return false;
                firstLit = lookStart - start;
                return true;
            },
            10000);
        const vtest::Pixels a = vtest::ReadClientPixels(window);
        vtest::PumpFor(300);
        const vtest::Pixels b = vtest::ReadClientPixels(window);
        // Balls that move: not all of them pinned to the floor.
        int litAboveFloor = 0;
        for (int y = 0; y < b.height * 3 / 4; ++y)
            for (int x = 0; x < b.width; ++x) litAboveFloor += b.At(x, y) != 0 ? 1 : 0;
        vtest::SaveShot(b, "hostile-store-" + std::to_string(&c - kCases + 1));
        EXPECT_GE(firstLit, 0.0) << c.name << ": no ball within 10 s";
        EXPECT_GT(b.CountNonBlack(), 0) << c.name;
        EXPECT_NE(a.colors, b.colors) << c.name << ": the balls do not move";
        EXPECT_GT(litAboveFloor, 0) << c.name << ": every ball lies on the floor";

        // A real key press: xdotool sends it through the X server to the window that has the focus.
        // The clock is read just before xdotool starts and just after it is done; the press lies
        // between the two.
        std::string clock;
        ASSERT_TRUE(RunLinuxCommand("date +%s%N; xdotool key space; date +%s%N", clock)) << "xdotool did not run";
        unsigned long long before = 0, after = 0;
        ASSERT_EQ(std::sscanf(clock.c_str(), "%llu %llu", &before, &after), 2) << clock;
        const bool ended = saver.WaitForExit(10000);
        FILETIME created{}, exited{}, kernel{}, user{};
        const bool timed = ended && GetProcessTimes(saver.ProcessHandle(), &created, &exited, &kernel, &user);
        std::printf("[ figure ] %s: window %.0f ms after the start, balls seen by a look begun %.0f ms after the "
                    "start (a look at an eighth takes %.0f ms); the run ended %.0f ms after xdotool began its key press "
                    "(%.0f ms after it was done)\n",
                    c.name, shown, firstLit, lookTook, timed ? EpochMs(exited) - before / 1e6 : -1.0,
                    timed ? EpochMs(exited) - after / 1e6 : -1.0);
        EXPECT_TRUE(ended) << c.name << ": a key press does not end the run";
        if (ended) {
            EXPECT_EQ(saver.ExitCode(), 0u) << c.name;
        }
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsPath);
}

}  // namespace
