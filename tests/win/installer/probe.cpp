// The end-to-end test's eyes inside Wine. Input comes from the X server (xdotool); this program only
// looks, and hosts a saver preview.
//   probe window CAPTION [MS]   waits up to MS (5000) for a visible top-level window with exactly
//                               this caption; prints it and its controls (id, class, style, screen
//                               rectangle, whether an icon shows, text). Status 1 when there is none.
//   probe windows               the visible top-level windows
//   probe cursor CAPTION        the pointer of the window with this caption: arrow, wait, none,
//                               or own (one of the program's own)
//   probe shortpath PATH        the short form of a path
//   probe preview MODULE        a host window "Vellora preview host" running MODULE /p <host>;
//                               prints "ready" once the preview shows, ends when the host closes
//   probe close CAPTION         asks the window with this caption to close
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kHostCaption = "Vellora preview host";

void PrintWindow(const char* kind, HWND window) {
    char name[64] = "", text[1024] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    RECT r{};
    GetWindowRect(window, &r);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    // An icon control: whether it shows an icon.
    const bool iconControl = lstrcmpiA(name, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON;
    const bool icon = iconControl && SendMessageA(window, STM_GETICON, 0, 0) != 0;
    std::printf("%s id=%d class=%s style=0x%08lx rect=%ld,%ld,%ld,%ld icon=%d text=%s\n", kind,
                static_cast<int>(GetDlgCtrlID(window)), name, static_cast<unsigned long>(style), r.left, r.top,
                r.right, r.bottom, icon, text);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    PrintWindow("control", child);
    return TRUE;
}

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && std::strcmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(const char* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Search search{caption, nullptr};
        EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start >= timeoutMs) return search.found;
        Sleep(50);
    }
}

BOOL CALLBACK PrintVisible(HWND window, LPARAM) {
    if (IsWindowVisible(window)) PrintWindow("window", window);
    return TRUE;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int Preview(const char* module) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "VelloraPreviewHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, kHostCaption, WS_POPUP | WS_VISIBLE, 0, 0, 160, 120, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (host == nullptr) return 1;
    std::string command = "\"" + std::string(module) + "\" /p " +
                          std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(host)));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(module, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start %s\n", module);
        return 1;
    }
    bool ready = false;
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                WaitForSingleObject(process.hProcess, 10000);
                return 0;
            }
            DispatchMessageA(&msg);
        }
        if (!ready && FindWindowExA(host, nullptr, nullptr, nullptr) != nullptr) {
            ready = true;
            std::printf("ready\n");
            std::fflush(stdout);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "window" && argc > 2) {
        HWND window = WaitForWindow(argv[2], argc > 3 ? static_cast<DWORD>(std::atol(argv[3])) : 5000);
        if (window == nullptr) return 1;
        PrintWindow("window", window);
        EnumChildWindows(window, PrintChild, 0);
        return 0;
    }
    if (command == "windows") {
        EnumWindows(PrintVisible, 0);
        return 0;
    }
    if (command == "cursor" && argc > 2) {
        // The pointer is kept per input queue: share the window's to read it. Another process's
        // pointer cannot be looked into, but the system's arrow is the same handle everywhere.
        HWND window = WaitForWindow(argv[2], 0);
        if (window == nullptr) return 1;
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return 1;
        HCURSOR cursor = GetCursor();
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        std::printf("cursor %s\n", cursor == nullptr                           ? "none"
                                   : cursor == LoadCursorA(nullptr, IDC_ARROW) ? "arrow"
                                   : cursor == LoadCursorA(nullptr, IDC_WAIT)  ? "wait"
                                                                               : "own");
        return 0;
    }
    if (command == "shortpath" && argc > 2) {
        char path[MAX_PATH] = "";
        if (GetShortPathNameA(argv[2], path, sizeof path) == 0) return 1;
        std::printf("%s\n", path);
        return 0;
    }
    if (command == "preview" && argc > 2) return Preview(argv[2]);
    if (command == "close" && argc > 2) {
        HWND window = WaitForWindow(argv[2], 0);
        if (window == nullptr) return 1;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "usage: probe window CAPTION [MS] | windows | cursor CAPTION | shortpath PATH | preview MODULE | "
                         "close CAPTION\n");
    return 2;
}
