#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "saver/app/anim_wnd.h"
#include "saver/config/registry_profile.h"
#include "win/handles.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vtest {

namespace {
bool quitSeen = false;

void DispatchAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitSeen = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const double end = NowMs() + timeoutMs;
    for (;;) {
        DispatchAll();
        if (done()) return true;
        const double left = end - NowMs();
        if (left <= 0) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(left, 10.0)) + 1, QS_ALLINPUT);
    }
}

bool TakeQuit() {
    const bool seen = quitSeen;
    quitSeen = false;
    return seen;
}

TestWindow::TestWindow(Handler handler, DWORD style, RECT rect, HWND parent, DWORD exStyle)
    : handler_(std::move(handler)) {
    static const char* const kClass = "VelloraTestWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TestWindow::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = kClass;
        registered = RegisterClassExA(&wc) != 0;
    }
    hwnd_ = CreateWindowExA(exStyle, kClass, "Vellora test", style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, nullptr, GetModuleHandleA(nullptr), this);
}

TestWindow::~TestWindow() { Destroy(); }

void TestWindow::Destroy() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK TestWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
        LRESULT result = 0;
        if (self->handler_(hwnd, message, wParam, lParam, result)) return result;
    }
    if (message == WM_PAINT) {
        ValidateRect(hwnd, nullptr);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int Pixels::CountNonBlack() const {
    return static_cast<int>(std::count_if(colors.begin(), colors.end(), [](std::uint32_t c) { return c != 0; }));
}

namespace {

// width x height pixels at (x, y) of source, or of the screen when source is null.
Pixels ReadPixelsFrom(HWND source, int x, int y, int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    if (pixels.width <= 0 || pixels.height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    vellora::win::ClientDC windowDc(source);
    vellora::win::GdiObject<HBITMAP> dib(CreateDIBSection(windowDc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    vellora::win::MemoryDC memoryDc(windowDc.Get());
    if (dib.Get() == nullptr || memoryDc.Get() == nullptr) return pixels;
    vellora::win::SelectedObject selected(memoryDc.Get(), dib.Get());
    BitBlt(memoryDc.Get(), 0, 0, pixels.width, pixels.height, windowDc.Get(), x, y, SRCCOPY);
    GdiFlush();
    pixels.colors.resize(static_cast<size_t>(pixels.width) * pixels.height);
    const auto* source32 = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < pixels.colors.size(); ++i) {
        const std::uint32_t bgrx = source32[i];  // DIB order: blue in the low byte
        pixels.colors[i] = ((bgrx >> 16) & 0xFF) | (bgrx & 0xFF00) | ((bgrx & 0xFF) << 16);
    }
    return pixels;
}

Pixels ReadPixels(HWND hwnd, bool fromScreen) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    POINT origin{0, 0};
    if (fromScreen) ClientToScreen(hwnd, &origin);
    return ReadPixelsFrom(fromScreen ? nullptr : hwnd, origin.x, origin.y, rc.right, rc.bottom);
}

}  // namespace

Pixels ReadClientPixels(HWND hwnd) { return ReadPixels(hwnd, false); }
Pixels ReadScreenPixels(HWND hwnd) { return ReadPixels(hwnd, true); }
Pixels ReadScreenRect(const RECT& area) {
    return ReadPixelsFrom(nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top);
}

std::string SaveShot(const Pixels& pixels, const std::string& name) {
    const char* folder = getenv("VELLORA_SHOT_DIR");
    if (folder == nullptr || *folder == '\0' || pixels.width <= 0 || pixels.height <= 0) return "";
    const std::string path = WindowsPath(folder) + "\\" + name + ".bmp";
    const DWORD rowBytes = (static_cast<DWORD>(pixels.width) * 3 + 3) & ~3u;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = -pixels.height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = rowBytes * static_cast<DWORD>(pixels.height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<BYTE> data(header.biSizeImage);
    for (int y = 0; y < pixels.height; ++y) {
        BYTE* row = data.data() + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t c = pixels.At(x, y);  // 0x00BBGGRR; a BMP stores blue first
            row[3 * x] = static_cast<BYTE>(c >> 16);
            row[3 * x + 1] = static_cast<BYTE>(c >> 8);
            row[3 * x + 2] = static_cast<BYTE>(c);
        }
    }
    vellora::win::KernelHandle out(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) return "";
    DWORD written = 0;
    const bool ok = WriteFile(out.Get(), &file, sizeof file, &written, nullptr) &&
                    WriteFile(out.Get(), &header, sizeof header, &written, nullptr) &&
                    WriteFile(out.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    return ok ? path : "";
}

ScopedUserValue::ScopedUserValue(const char* keyPath, const char* name, DWORD value) : keyPath_(keyPath), name_(name) {
    vellora::win::RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
        oldData_.resize(size);
        hadValue_ = RegQueryValueExA(key.Get(), name, nullptr, &oldType_, oldData_.data(), &size) == ERROR_SUCCESS;
    }
    RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

ScopedUserValue::~ScopedUserValue() {
    vellora::win::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    if (hadValue_) {
        RegSetValueExA(key.Get(), name_.c_str(), 0, oldType_, oldData_.data(), static_cast<DWORD>(oldData_.size()));
    } else {
        RegDeleteValueA(key.Get(), name_.c_str());
    }
}

namespace {
vellora::RegistryProfile BuiltSaverProfile() {
    return vellora::RegistryProfile(vellora::kRegistryKeyName, "VelloraSaver");
}
}  // namespace

ScopedSaverSettings::ScopedSaverSettings(std::initializer_list<std::pair<vellora::Setting, std::int32_t>> values) {
    vellora::RegistryProfile profile = BuiltSaverProfile();
    for (const auto& value : values) vellora::WriteSetting(profile, value.first, value.second);
}

ScopedSaverSettings::~ScopedSaverSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, BuiltSaverProfile().SectionPath(vellora::kSettingsSection).c_str());
}

std::string WindowsPath(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<char> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string SaverPath() {
    if (const char* path = getenv("VELLORA_SAVER_SCR")) return WindowsPath(path);
    return WindowsPath(VELLORA_SAVER_SCR);
}

SaverProcess::SaverProcess(const std::string& arguments, const std::string& module) {
    const std::string path = module.empty() ? SaverPath() : module;
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        info_ = PROCESS_INFORMATION{};
}

SaverProcess::~SaverProcess() {
    if (info_.hProcess == nullptr) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool SaverProcess::WaitForExit(DWORD timeoutMs) {
    if (info_.hProcess == nullptr) return false;
    const double end = NowMs() + timeoutMs;
    for (;;) {
        DispatchAll();
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0) return true;
        const double left = end - NowMs();
        if (left <= 0) return false;
        MsgWaitForMultipleObjects(1, &info_.hProcess, FALSE, static_cast<DWORD>(std::min(left, 20.0)) + 1,
                                  QS_ALLINPUT);
    }
}

bool SaverProcess::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD SaverProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(&CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> SaverProcess::VisibleTopLevelWindows() const { return vtest::VisibleTopLevelWindows(info_.dwProcessId); }

HWND SaverProcess::WaitForWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    PumpUntil(
        [&] {
            auto windows = VisibleTopLevelWindows();
            if (!windows.empty()) window = windows.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

SaverProcess::Ending SaverProcess::WaitForExitWatchingWindows(DWORD timeoutMs) {
    Ending ending{false, false};
    ending.ended = PumpUntil(
        [&] {
            if (!VisibleTopLevelWindows().empty()) ending.shown = true;
            return !Running();
        },
        timeoutMs);
    return ending;
}

double MeasureFramePeriod(vellora::Simulation& sim, const vellora::Profile& profile) {
    vtest::TestWindow host(nullptr, WS_POPUP | WS_VISIBLE, RECT{0, 0, 160, 120});
    auto* window = new vellora::AnimWnd(true, sim, profile);
    if (!window->CreateInRect(0, WS_CHILD | WS_VISIBLE, vellora::Rect{0, 0, 160, 120}, host.Handle())) return -1;
    vellora::SetupWorld(sim, profile, vellora::Rect{0, 0, 160, 120}, true);
    vtest::PumpFor(50);
    const std::uint32_t first = sim.world.frameCount;
    const double start = vtest::NowMs();
    vtest::PumpFor(600);
    const std::uint32_t frames = sim.world.frameCount - first;
    const double period = frames == 0 ? 1e9 : (vtest::NowMs() - start) / frames;
    host.Destroy();
    vellora::TeardownWorld(sim);
    return period;
}

}  // namespace vtest
