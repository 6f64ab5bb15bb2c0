#include "saver/app/full_screen_run.h"

#include <ctime>

#include "saver/app/anim_wnd.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT area, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const bool primary = GetMonitorInfoA(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        MonitorArea{Rect{area->left, area->top, area->right, area->bottom}, primary});
    return TRUE;
}

// The other monitors' worlds draw sequences of their own: seeds a fixed odd step apart.
std::uint32_t ScreenSeed(size_t screen) {
    return static_cast<std::uint32_t>(std::time(nullptr)) + static_cast<std::uint32_t>(screen) * 0x9E3779B9u;
}

}  // namespace

FullScreenRun::FullScreenRun(Simulation& primaryWorld, const Profile& profile)
    : primaryWorld_(primaryWorld), profile_(profile) {}

FullScreenRun::~FullScreenRun() { End(); }

std::vector<MonitorArea> FullScreenRun::SystemMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

SaverWnd* FullScreenRun::Start() {
    const Rect primaryScreen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Start(SaverWindowAreas(SystemMonitors(), primaryScreen));
}

SaverWnd* FullScreenRun::Start(const std::vector<Rect>& areas) {
    // Where the pointer rests now is its first position, whichever monitor it is on: the windows
    // appear under it without its moving.
    POINT rest{};
    if (GetCursorPos(&rest)) pointer_.Rest(ScreenPoint{rest.x, rest.y});

    screens_.resize(areas.size());
    SaverWnd* primary = nullptr;
    for (size_t i = 0; i < areas.size(); ++i) {
        Screen& screen = screens_[i];
        if (i == 0) {
            screen.world = &primaryWorld_;
        } else {
            screen.ownWorld = std::make_unique<Simulation>(ScreenSeed(i));
            screen.world = screen.ownWorld.get();
        }
        // The primary monitor's window comes first and takes the activation and the keyboard.
        auto* window = new SaverWnd(*screen.world, profile_, this);  // deletes itself with its window
        creating_ = window;
        const BOOL created = window->CreateOver(areas[i], i == 0);
        creating_ = nullptr;
        if (!created) {
            // A window that cannot be made may already have deleted itself; without the primary
            // one the run has no keyboard and ends.
            if (i == 0) break;
            continue;
        }
        screen.hwnd = window->Handle();
        if (i == 0) primary = window;
        RECT client{};
        GetClientRect(screen.hwnd, &client);
        SetupWorld(*screen.world, profile_, Rect{client.left, client.top, client.right, client.bottom}, false);
    }
    if (primary == nullptr) End();
    return primary;
}

void FullScreenRun::End(HWND ending) {
    for (Screen& screen : screens_) {
        if (screen.hwnd == ending) screen.hwnd = nullptr;
    }
    if (ending_) return;
    ending_ = true;
    for (Screen& screen : screens_) {
        HWND hwnd = screen.hwnd;
        screen.hwnd = nullptr;
        if (hwnd != nullptr && IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    ending_ = false;
}

bool FullScreenRun::Owns(HWND hwnd) const {
    if (hwnd == nullptr) return false;
    if (creating_ != nullptr && creating_->Handle() == hwnd) return true;
    for (const Screen& screen : screens_) {
        if (screen.hwnd == hwnd) return true;
    }
    return false;
}

std::vector<HWND> FullScreenRun::Windows() const {
    std::vector<HWND> windows;
    for (const Screen& screen : screens_) {
        if (screen.hwnd != nullptr) windows.push_back(screen.hwnd);
    }
    return windows;
}

}  // namespace vellora
