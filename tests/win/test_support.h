// What the Windows tests share: message pumps, a plain test window, reading pixels back, and
// running the built saver module as a process.
#pragma once

#include "win/win32.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "saver/config/settings.h"

namespace vellora {
class Profile;
struct Simulation;
}  // namespace vellora

namespace vtest {

// Milliseconds from a fixed point, sub-millisecond resolution.
double NowMs();

// Dispatches this thread's messages, sent ones included, for ms milliseconds.
void PumpFor(DWORD ms);
// Dispatches messages until done() holds or timeoutMs passed; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// True when a pump took a WM_QUIT since the last call.
bool TakeQuit();

// A window whose messages go to a function; messages it leaves (returns false) get DefWindowProcA.
// Painting is validated without drawing, so the window keeps what was drawn on it.
class TestWindow {
public:
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
    explicit TestWindow(Handler handler = nullptr, DWORD style = WS_POPUP | WS_VISIBLE,
                        RECT rect = RECT{0, 0, 240, 180}, HWND parent = nullptr, DWORD exStyle = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    void Destroy();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    Handler handler_;
    HWND hwnd_ = nullptr;
};

// The client-area pixels of a window as the screen shows them, row-major, 0x00BBGGRR.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> colors;
    std::uint32_t At(int x, int y) const { return colors[static_cast<size_t>(y) * width + x]; }
    int CountNonBlack() const;
};
// Copies from the window's own device context into a DIB section.
Pixels ReadClientPixels(HWND hwnd);
// The same area read from the screen's device context, where the windows of other processes show.
Pixels ReadScreenPixels(HWND hwnd);
// A rectangle of the virtual screen as the screen shows it.
Pixels ReadScreenRect(const RECT& area);
// Writes the pixels as NAME.bmp into the folder that VELLORA_SHOT_DIR names, for a person to look
// at; nothing without it. Returns the file's path, or "" when none was written.
std::string SaveShot(const Pixels& pixels, const std::string& name);

// A DWORD value under HKEY_CURRENT_USER for the length of a test; the value it replaced (or its
// absence) comes back at the end.
class ScopedUserValue {
public:
    ScopedUserValue(const char* keyPath, const char* name, DWORD value);
    ~ScopedUserValue();
    ScopedUserValue(const ScopedUserValue&) = delete;
    ScopedUserValue& operator=(const ScopedUserValue&) = delete;

private:
    std::string keyPath_;
    std::string name_;
    bool hadValue_ = false;
    std::vector<BYTE> oldData_;
    DWORD oldType_ = 0;
};

// Stored settings of the built saver (the profile it reads as VelloraSaver.scr) for the length of
// a test; the whole section goes at the end.
class ScopedSaverSettings {
public:
    ScopedSaverSettings(std::initializer_list<std::pair<vellora::Setting, std::int32_t>> values);
    ~ScopedSaverSettings();
    ScopedSaverSettings(const ScopedSaverSettings&) = delete;
    ScopedSaverSettings& operator=(const ScopedSaverSettings&) = delete;
};

// "/a/b" as Wine's drive Z: names it.
std::string WindowsPath(const std::string& unixPath);
// The built VelloraSaver.scr.
std::string SaverPath();
// A file's bytes; empty when it cannot be read.
std::vector<char> ReadWholeFile(const std::string& path);

// The visible top-level windows of a process.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

// The saver module (or a copy of it at module) run with a command line; killed at the end if it
// still runs.
class SaverProcess {
public:
    explicit SaverProcess(const std::string& arguments, const std::string& module = std::string());
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE ProcessHandle() const { return info_.hProcess; }
    // Waits for the end, dispatching this thread's messages meanwhile (the saver's windows may
    // send to ours). True when the process ended in time.
    bool WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    // Its visible top-level windows.
    std::vector<HWND> VisibleTopLevelWindows() const;
    // Its first visible top-level window once one shows, dispatching meanwhile; null if none in time.
    HWND WaitForWindow(DWORD timeoutMs);
    // Waits for the end as WaitForExit does, watching meanwhile for a visible top-level window.
    struct Ending {
        bool ended;
        bool shown;
    };
    Ending WaitForExitWatchingWindows(DWORD timeoutMs);

private:
    PROCESS_INFORMATION info_{};
};

// Runs a preview window with sim in a small host for a while and returns the milliseconds per
// frame; the world is torn down afterwards. Negative when the window could not be made.
double MeasureFramePeriod(vellora::Simulation& sim, const vellora::Profile& profile);

}  // namespace vtest
