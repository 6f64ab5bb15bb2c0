// A full-screen run over every monitor: one saver window with a world and a frame timer of its
// own per monitor (the primary monitor's window runs the application's world), all ending
// together at the first sign of the user on any of them. With one monitor it is the one
// full-screen window over the primary screen.
#pragma once

#include <memory>
#include <vector>

#include "win/framework.h"
#include "saver/app/screens.h"

namespace vellora {

class Profile;
class SaverWnd;
struct Simulation;

class FullScreenRun {
public:
    // primaryWorld runs on the primary monitor; the run makes the other monitors' worlds, each
    // seeded differently. Both arguments must outlive the run.
    FullScreenRun(Simulation& primaryWorld, const Profile& profile);
    FullScreenRun(const FullScreenRun&) = delete;
    FullScreenRun& operator=(const FullScreenRun&) = delete;
    // Ends the run if windows remain, before the worlds they draw go.
    ~FullScreenRun();

    // Covers each monitor with a saver window and sets up its first world. Returns the primary
    // monitor's window, which has the keyboard, or null when it could not be made (the run is
    // then ended).
    SaverWnd* Start();
    // Covers the given screen areas (the primary one first) instead of the system's monitors.
    SaverWnd* Start(const std::vector<Rect>& areas);

    // Destroys every window of the run but ending (the window whose destruction asks for it, or
    // null); safe to call again from the windows' own destruction.
    void End(HWND ending = nullptr);

    bool Owns(HWND hwnd) const;
    // The run's windows that still exist, the primary monitor's first.
    std::vector<HWND> Windows() const;
    // The world drawn in the index-th window of Start's areas.
    Simulation& World(size_t index) const { return *screens_[index].world; }
    PointerWatch& Pointer() { return pointer_; }

    // The monitors the system lists, in device pixels.
    static std::vector<MonitorArea> SystemMonitors();

private:
    struct Screen {
        std::unique_ptr<Simulation> ownWorld;  // null for the primary monitor's
        Simulation* world = nullptr;
        HWND hwnd = nullptr;  // null once the window is gone
    };

    Simulation& primaryWorld_;
    const Profile& profile_;
    std::vector<Screen> screens_;
    PointerWatch pointer_;
    SaverWnd* creating_ = nullptr;  // the window being made, before its handle is filed
    bool ending_ = false;
};

}  // namespace vellora
