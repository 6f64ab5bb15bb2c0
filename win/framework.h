// A thin object layer over Win32: one application object with a message loop, and window objects
// whose messages reach virtual handlers, for windows of our own classes and for existing windows
// (a dialog's controls) subclassed into an object. Dialogs are in win/dialog.h. Only what our two
// programs use.
#pragma once

#include <string>

#include "win/win32.h"

namespace vellora::win {

class Window;

// The process's application object. InitInstance decides whether the message loop runs at all;
// the loop ends on WM_QUIT, which is also posted when the main window is destroyed.
class WinApp {
public:
    WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;
    virtual ~WinApp();

    // TRUE runs the message loop, FALSE ends the application at once.
    virtual BOOL InitInstance() = 0;
    // Called after the loop (or after a FALSE InitInstance); the result is the exit code.
    virtual int ExitInstance();

    // InitInstance, then the loop if it asked for one, then ExitInstance.
    int Main();
    // Gets and dispatches messages until WM_QUIT; returns the quit code.
    static int RunMessageLoop();

    HINSTANCE Instance() const { return instance_; }
    Window* MainWindow() const { return mainWindow_; }
    void SetMainWindow(Window* window) { mainWindow_ = window; }

    // The one application object, or null before its construction and after its destruction.
    static WinApp* Current() { return current_; }

private:
    friend class Window;
    HINSTANCE instance_;
    Window* mainWindow_ = nullptr;
    int quitCode_ = 0;
    static WinApp* current_;
};

// A window object bound to one window handle. Messages go to WindowProc; a derived class handles
// its messages and hands the rest to its base class, which ends in Default (DefWindowProcA).
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

    // Creates the window; WM_CREATE reaches WindowProc before this returns. False on failure.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu, void* param);
    BOOL DestroyWindow();

    // The window object of a handle created through CreateEx, or null.
    static Window* FromHandle(HWND hwnd);

    // Makes an existing window (a dialog's control) send its messages to this object; what the
    // object leaves goes on to the window's own procedure. The binding ends with the window, or
    // with the object, which then hands the window back and leaves it in place.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(int id, HWND dialog) { return SubclassWindow(GetDlgItem(dialog, id)); }

    // Registers (once per distinct set of values) a window class that routes to window objects;
    // the name stays valid for the life of the process.
    static const char* RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled: the window's own procedure for a
    // subclassed window, DefWindowProcA otherwise.
    LRESULT Default();
    // Called once after the window's last message (WM_NCDESTROY); the handle is already detached.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // Ends the binding to the handle: the window's own procedure back for a subclassed window.
    void Detach();

    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    HWND hwnd_ = nullptr;
    WNDPROC superProc_ = nullptr;  // the procedure of a subclassed window
    CurrentMessage current_;
};

// A window's text (a control's, a caption).
std::string WindowText(HWND hwnd);

}  // namespace vellora::win
