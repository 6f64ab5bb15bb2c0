#include "saver/app/anim_wnd.h"

#include <windowsx.h>

#include "saver/app/anim_timer.h"
#include "saver/app/frame_tick.h"
#include "saver/app/full_screen_run.h"
#include "saver/resources/resource.h"
#include "win/handles.h"
#include "saver/app/gdi_canvas.h"
#include "saver/config/settings.h"
#include "saver/render/renderer.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

Rect ClientRect(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

}  // namespace

AnimWnd::AnimWnd(bool autoDelete, Simulation& sim, const Profile& profile)
    : autoDelete_(autoDelete), sim_(sim), profile_(profile) {}

AnimWnd::~AnimWnd() = default;

BOOL AnimWnd::CreateInRect(DWORD exStyle, DWORD style, const Rect& rect, HWND parent) {
    // One class for all drawing windows: no background brush (the window paints all of its client
    // area itself), no icon, and a fully transparent pointer.
    static const char* className = nullptr;
    if (className == nullptr) {
        HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_TRANSPARENT));
        className = RegisterWndClass(CS_HREDRAW | CS_VREDRAW, cursor, nullptr, nullptr);
        if (className == nullptr) return FALSE;
    }
    return CreateEx(exStyle, className, "", style, rect.left, rect.top, rect.Width(), rect.Height(), parent,
                    nullptr, nullptr);
}

void AnimWnd::StartFrameTimer(std::int32_t refreshRate) {
    win::StopAnimTimer(Handle(), kFrameTimerId);
    win::StartAnimTimer(Handle(), kFrameTimerId, static_cast<UINT>(refreshRate + 1), 0);
}

LRESULT AnimWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_TIMER:
        return OnTimer(wParam);
    case WM_PAINT:
        return OnPaint();
    default:
        return Window::WindowProc(message, wParam, lParam);
    }
}

void AnimWnd::PostNcDestroy() {
    if (autoDelete_) delete this;
}

LRESULT AnimWnd::OnCreate() {
    if (Default() == -1) return -1;
    // The timer runs from here on, before the first world is set up: a tick on the empty world is
    // harmless.
    StartFrameTimer(ReadSafeSetting(profile_, Setting::RefreshRate));
    return 0;
}

LRESULT AnimWnd::OnTimer(WPARAM timerId) {
    if (timerId != kFrameTimerId) return Default();
    const Rect client = ClientRect(Handle());
    win::ClientDC dc(Handle());
    win::GdiCanvas canvas(dc.Get());
    TickFrame(sim_, profile_, client, &canvas);
    return 0;
}

LRESULT AnimWnd::OnPaint() {
    win::PaintDC dc(Handle());
    win::GdiCanvas canvas(dc.Get());
    if (auto black = canvas.CreateSolidBrush(kBlack)) canvas.FillRect(ClientRect(Handle()), *black);
    RenderFrame(sim_, canvas);
    return 0;
}

SaverWnd::SaverWnd(Simulation& sim, const Profile& profile, FullScreenRun* run)
    : AnimWnd(true, sim, profile), run_(run) {}

SaverWnd::~SaverWnd() = default;

BOOL SaverWnd::CreateFullScreen() {
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    return CreateOver(Rect{0, 0, width, height}, true);
}

BOOL SaverWnd::CreateOver(const Rect& area, bool activate) {
    const DWORD style = WS_POPUP | (activate ? WS_VISIBLE : 0);
    if (!CreateInRect(WS_EX_TOPMOST, style, area, nullptr)) return FALSE;
    if (!activate) {
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    return TRUE;
}

void SaverWnd::PostClose() { PostMessageA(Handle(), WM_CLOSE, 0, 0); }

bool SaverWnd::IsOfThisRun(HWND other) const { return other != nullptr && run_ != nullptr && run_->Owns(other); }

LRESULT SaverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        // The whole command value counts: a second saver must not start over this one, and the
        // close command is refused (Alt+F4 still closes through its key press).
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE) return 0;
        return Default();
    case WM_DESTROY:
        win::StopAnimTimer(Handle(), kFrameTimerId);
        PostQuitMessage(0);
        // The run ends on every monitor at once.
        if (run_ != nullptr) run_->End(Handle());
        return Default();
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_NCACTIVATE:
        if (!wParam) return FALSE;
        return Default();
    case WM_MOUSEACTIVATE:
        // A click on a run's window ends the run by itself; it need not move the activation (which
        // the active window would refuse) first.
        if (run_ != nullptr) return MA_NOACTIVATE;
        return Default();
    case WM_ACTIVATE:
        // Activation passing to another window of the run (a click on another monitor, which ends
        // the run by itself) is not the user leaving.
        if (LOWORD(wParam) == WA_INACTIVE && !IsOfThisRun(reinterpret_cast<HWND>(lParam))) PostClose();
        return Default();
    case WM_ACTIVATEAPP:
        if (!wParam) PostClose();
        return Default();
    case WM_MOUSEMOVE: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &at);
        PointerWatch& pointer = run_ != nullptr ? run_->Pointer() : ownPointer_;
        if (pointer.EndsRun(ScreenPoint{at.x, at.y})) PostClose();
        return Default();
    }
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        PostClose();
        return Default();
    default:
        return AnimWnd::WindowProc(message, wParam, lParam);
    }
}

}  // namespace vellora
