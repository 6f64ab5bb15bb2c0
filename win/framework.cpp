#include "win/framework.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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
    if (hwnd_ != nullptr && superProc_ != nullptr) {
        // A subclassed window belongs to its dialog: it gets its own procedure back and stays.
        Detach();
    } else if (hwnd_ != nullptr) {
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

namespace {

// A subclassed window finds its object through this property; its user data is its class's own.
constexpr const char* kObjectProperty = "VelloraWindowObject";

}  // namespace

BOOL Window::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || hwnd_ != nullptr || GetPropA(hwnd, kObjectProperty) != nullptr) return FALSE;
    if (!SetPropA(hwnd, kObjectProperty, this)) return FALSE;
    hwnd_ = hwnd;
    superProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassWndProc)));
    if (superProc_ == nullptr) {
        RemovePropA(hwnd, kObjectProperty);
        hwnd_ = nullptr;
        return FALSE;
    }
    return TRUE;
}

void Window::Detach() {
    if (superProc_ != nullptr) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
        RemovePropA(hwnd_, kObjectProperty);
        superProc_ = nullptr;
    } else {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
}

namespace {

// A class name handed out by RegisterWndClass: kept, with every other, for the life of the process.
struct ClassName {
    ClassName* next;
    char text[128];
};
ClassName* classNames = nullptr;

// "VelloraWnd" and each value in hexadecimal after a colon. (No C library formatting: it would
// bring its whole printf into the saver.)
void FormatClassName(char (&text)[128], const std::uintptr_t (&values)[5]) {
    char* out = text;
    for (const char* prefix = "VelloraWnd"; *prefix != '\0'; ++prefix) *out++ = *prefix;
    for (std::uintptr_t value : values) {
        char digits[2 * sizeof value];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value & 0xF];
            value >>= 4;
        } while (value != 0);
        *out++ = ':';
        while (count > 0) *out++ = digits[--count];
    }
    *out = '\0';
}

}  // namespace

const char* Window::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char name[128];
    FormatClassName(name, {reinterpret_cast<std::uintptr_t>(instance), style, reinterpret_cast<std::uintptr_t>(cursor),
                           reinterpret_cast<std::uintptr_t>(background), reinterpret_cast<std::uintptr_t>(icon)});
    for (const ClassName* known = classNames; known != nullptr; known = known->next) {
        if (std::strcmp(known->text, name) == 0) return known->text;
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
    auto* kept = new ClassName{classNames, {}};
    std::memcpy(kept->text, name, sizeof name);
    classNames = kept;
    return kept->text;
}

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT Window::Default() {
    if (superProc_ != nullptr)
        return CallWindowProcA(superProc_, hwnd_, current_.message, current_.wParam, current_.lParam);
    return DefWindowProcA(hwnd_, current_.message, current_.wParam, current_.lParam);
}

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

LRESULT CALLBACK Window::SubclassWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = static_cast<Window*>(GetPropA(hwnd, kObjectProperty));
    if (window == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage outer = current_;
    current_ = CurrentMessage{message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    current_ = outer;
    if (message == WM_NCDESTROY) {
        Detach();
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

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

}  // namespace vellora::win
