// Driving windows as a user would: finding them by caption, running a modal dialog while another
// thread works it, and real input through the X server with xdotool.
#pragma once

#include <functional>
#include <string>

#include "win/win32.h"

namespace vtest {

// A visible top-level window of the process with exactly this caption, waiting up to timeoutMs.
// The calling thread's messages are not dispatched meanwhile.
HWND WaitForWindow(const char* caption, DWORD processId, DWORD timeoutMs);
// Waits until the window is gone (or no longer visible).
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs);
// Waits until done() holds, looking every few milliseconds, without dispatching messages.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// The text of a window or of a dialog's control.
std::string TextOf(HWND hwnd);
std::string ItemText(HWND dialog, int id);

// Runs run() on this thread (a modal dialog's DoModal) while steps() works the window with this
// caption from a second thread; the steps start once it is shown. A window still open when the
// steps end is closed with Cancel, so that a failed step cannot leave the test hanging. Returns
// what run() returned.
INT_PTR RunModal(const char* caption, const std::function<INT_PTR()>& run, const std::function<void(HWND)>& steps);

// Runs a command of the host system's shell (sh -c) outside Wine and waits for it; its standard
// output and error, and its exit status (-1 when it did not end within timeoutMs).
struct ShellResult {
    int status = -1;
    std::string output;
};
ShellResult RunHostShell(const std::string& command, DWORD timeoutMs = 20000);

// xdotool on the X display the tests run on, with these arguments (shell words).
ShellResult Xdotool(const std::string& arguments);
// The X window of the visible window with exactly this caption, waiting up to timeoutMs; empty
// when there is none.
std::string XWindowByCaption(const std::string& caption, DWORD timeoutMs);
// Gives the X window the keyboard and waits until Wine has made hwnd the foreground window.
bool FocusForKeys(const std::string& xWindow, HWND hwnd);
// Presses keys (xdotool key names, e.g. "Tab Right Return" or "alt+space") on the focused window.
bool PressKeys(const std::string& keys);
// Moves the pointer to a point of the screen and clicks the left button.
bool ClickAt(int x, int y);

}  // namespace vtest
