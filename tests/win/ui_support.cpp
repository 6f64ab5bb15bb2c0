#include "ui_support.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace vtest {

namespace {

// Dispatches this thread's messages while waiting for a handle.
void WaitPumping(HANDLE handle) {
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) return;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

BOOL CALLBACK CancelVisibleWindow(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd)) {
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        *reinterpret_cast<bool*>(lParam) = true;
    }
    return TRUE;
}

struct ModalRun {
    const char* caption;
    const std::function<void(HWND)>* steps;
    DWORD threadId;
};

DWORD WINAPI RunSteps(void* parameter) {
    auto* run = static_cast<ModalRun*>(parameter);
    HWND dialog = WaitForWindow(run->caption, GetCurrentProcessId(), 10000);
    if (dialog == nullptr) {
        ADD_FAILURE() << "no window \"" << run->caption << "\" appeared";
    } else {
        (*run->steps)(dialog);
    }
    // Whatever is still open on the dialog's thread (message boxes, nested dialogs, the dialog)
    // is cancelled, innermost first as each loop takes its message.
    for (int round = 0; round < 100; ++round) {
        bool any = false;
        EnumThreadWindows(run->threadId, &CancelVisibleWindow, reinterpret_cast<LPARAM>(&any));
        if (!any) break;
        Sleep(50);
    }
    return 0;
}

std::string TempBase() {
    static int counter = 0;
    char base[64];
    std::snprintf(base, sizeof base, "/tmp/vellora-wintest-%lu-%d", GetCurrentProcessId(), ++counter);
    return base;
}

std::string HostToWindows(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    text.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return true;
}

}  // namespace

HWND WaitForWindow(const char* caption, DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : VisibleTopLevelWindows(processId))
                if (TextOf(hwnd) == caption) found = hwnd;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(10);
    }
}

std::string TextOf(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

INT_PTR RunModal(const char* caption, const std::function<INT_PTR()>& run, const std::function<void(HWND)>& steps) {
    ModalRun modal{caption, &steps, GetCurrentThreadId()};
    HANDLE worker = CreateThread(nullptr, 0, &RunSteps, &modal, 0, nullptr);
    if (worker == nullptr) {
        ADD_FAILURE() << "no worker thread";
        return -2;
    }
    const INT_PTR result = run();
    WaitPumping(worker);
    CloseHandle(worker);
    return result;
}

ShellResult RunHostShell(const std::string& command, DWORD timeoutMs) {
    // Wine starts a host program but gives no handle to wait on or read from: the script leaves
    // its output and then its status in files beside it.
    const std::string base = TempBase();
    const std::string script = "PATH=/usr/local/bin:/usr/bin:/bin\nexport PATH\n(" + command + ") >" + base +
                               ".out 2>&1\necho $? >" + base + ".tmp\nmv " + base + ".tmp " + base + ".status\n";
    ShellResult result;
    if (!WriteWholeFile(HostToWindows(base + ".sh"), script)) return result;
    std::string commandLine = "\"Z:\\bin\\sh\" " + base + ".sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        if (info.hProcess != nullptr) CloseHandle(info.hProcess);
        if (info.hThread != nullptr) CloseHandle(info.hThread);
        std::string status;
        if (WaitUntil([&] { return ReadWholeFile(HostToWindows(base + ".status"), status); }, timeoutMs)) {
            result.status = std::atoi(status.c_str());
            ReadWholeFile(HostToWindows(base + ".out"), result.output);
        }
    }
    for (const char* suffix : {".sh", ".out", ".status"}) DeleteFileA(HostToWindows(base + suffix).c_str());
    return result;
}

ShellResult Xdotool(const std::string& arguments) { return RunHostShell("xdotool " + arguments); }

std::string XWindowByCaption(const std::string& caption, DWORD timeoutMs) {
    std::string window;
    WaitUntil(
        [&] {
            const ShellResult found = Xdotool("search --name '^" + caption + "$'");
            if (found.status != 0) return false;
            window = found.output.substr(0, found.output.find('\n'));
            return !window.empty();
        },
        timeoutMs);
    return window;
}

bool FocusForKeys(const std::string& xWindow, HWND hwnd) {
    if (Xdotool("windowfocus " + xWindow).status != 0) return false;
    return WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 5000);
}

bool PressKeys(const std::string& keys) { return Xdotool("key --delay 50 " + keys).status == 0; }

bool ClickAt(int x, int y) {
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 click 1").status == 0;
}

}  // namespace vtest
