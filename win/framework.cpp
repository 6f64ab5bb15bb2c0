#include "win/framework.h"

#include <cstdio>
#include <deque>
#include <string>

namespace vellora::win {

WinApp* WinApp::current_ = nullptr;

WinApp::WinApp() : instance_(GetModuleHandleA(nullptr)) { current_ = this; }

WinApp::~WinApp() {
    if (current_ == this) current_ = nullptr;
}

int WinApp::ExitInstance() { return quitCode_; }

int WinApp::Main() {
    if (InitInstance()) quitCode_ = RunMessageLoop();
    return ExitInstance();
}

int WinApp::RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

// The object whose CreateEx is running on this thread; the window procedure binds it to the new
// handle at the first message the window receives.
thread_local Window* creatingWindow = nullptr;

}  // namespace

Window::~Window() {
    if (hwnd_ != nullptr) {
        // The object goes first: let the window's last messages take default processing only.
        HWND hwnd = hwnd_;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

BOOL Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu, void* param) {
    Window* const outer = creatingWindow;
    creatingWindow = this;
    HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                                GetModuleHandleA(nullptr), param);
    creatingWindow = outer;
    return hwnd != nullptr;
}

BOOL Window::DestroyWindow() { return hwnd_ != nullptr && ::DestroyWindow(hwnd_); }

Window* Window::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

const char* Window::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::deque<std::string> names;  // the names handed out stay valid for the process
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char name[128];
    std::snprintf(name, sizeof name, "VelloraWnd:%p:%x:%p:%p:%p", static_cast<void*>(instance), style,
                  static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    for (const std::string& known : names) {
        if (known == name) return known.c_str();
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, name, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = &Window::StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!RegisterClassExA(&wc)) return nullptr;
    }
    names.emplace_back(name);
    return names.back().c_str();
}

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT Window::Default() { return DefWindowProcA(hwnd_, current_.message, current_.wParam, current_.lParam); }

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (window == nullptr && creatingWindow != nullptr) {
        window = creatingWindow;
        creatingWindow = nullptr;
        window->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (window == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage outer = current_;
    current_ = CurrentMessage{message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    current_ = outer;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        // Destroying the main window ends the application's message loop.
        WinApp* app = WinApp::Current();
        if (app != nullptr && app->mainWindow_ == this) {
            app->mainWindow_ = nullptr;
            PostQuitMessage(0);
        }
        PostNcDestroy();  // may delete this
    }
    return result;
}

INT_PTR ModalDialog::DoModal(HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent,
                           &ModalDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR ModalDialog::DialogProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ModalDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<ModalDialog*>(lParam);
        dialog->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (dialog == nullptr) return FALSE;
    const INT_PTR result = dialog->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) dialog->hwnd_ = nullptr;
    return result;
}

}  // namespace vellora::win
