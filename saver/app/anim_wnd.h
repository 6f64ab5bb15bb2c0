// The drawing windows. AnimWnd owns the frame loop: its creation starts the frame timer, every
// tick runs one frame, and a paint clears the client area and draws the current frame. SaverWnd is
// the full-screen saver on top of everything, which asks to be closed at the first sign of the user.
#pragma once

#include <cstdint>

#include "win/framework.h"
#include "saver/app/screens.h"
#include "saver/sim/geometry.h"

namespace vellora {

class FullScreenRun;
class Profile;
struct Simulation;

class AnimWnd : public win::Window {
public:
    // With autoDelete the object deletes itself after its window's last message. The window runs
    // the frames of sim and reads its settings from profile; both must outlive the window.
    AnimWnd(bool autoDelete, Simulation& sim, const Profile& profile);
    ~AnimWnd() override;

    // Creates the window of the shared drawing class. The rectangle is in the parent's client
    // coordinates for a child and in screen coordinates for a top-level window.
    virtual BOOL CreateInRect(DWORD exStyle, DWORD style, const Rect& rect, HWND parent);

    // The frame timer is timer 1 with a period of refreshRate + 1 ms.
    void StartFrameTimer(std::int32_t refreshRate);

    static constexpr UINT kFrameTimerId = 1;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    LRESULT OnCreate();
    LRESULT OnTimer(WPARAM timerId);
    LRESULT OnPaint();

    bool autoDelete_;
    Simulation& sim_;
    const Profile& profile_;
};

class SaverWnd : public AnimWnd {
public:
    // A window of a run over several monitors names its run: the run's windows share the
    // pointer's first position, and the end of one ends them all.
    SaverWnd(Simulation& sim, const Profile& profile, FullScreenRun* run = nullptr);
    ~SaverWnd() override;

    // Top-most popup covering the whole primary screen.
    BOOL CreateFullScreen();
    // Top-most popup covering area of the virtual screen; without activate it is shown without
    // taking the activation (and the keyboard) from the window that has it.
    BOOL CreateOver(const Rect& area, bool activate);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PostClose();
    bool IsOfThisRun(HWND other) const;

    FullScreenRun* run_;
    // Without a run: where the first mouse-move message put the pointer. The system sends one
    // when the window appears under a pointer that has not moved, so only a second, different
    // position counts as the user.
    PointerWatch ownPointer_;
};

}  // namespace vellora
