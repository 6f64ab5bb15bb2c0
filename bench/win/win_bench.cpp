// The Windows benchmarks, run under Wine by scripts/bench. Each mode prints rows of the benchmark
// table on stdout:
//   vellora_win_bench render                  RenderFrame and a full redraw on a real window
//   vellora_win_bench timer PERIOD_MS SECONDS the animation timer's tick-start intervals
//   vellora_win_bench startup SCR [TIMEOUT_MS [RUNS]]
//                                             from starting "SCR /s" to its first frame on every
//                                             monitor
//   vellora_win_bench saver W H BALLS REFRESH SECONDS
//                                             the saver's drawing window, its ticks timed
//   vellora_win_bench frames SECONDS [SETTLE_SECONDS]
//                                             counts the frames of a running saver (the visible
//                                             topmost window of another process): prints "start"
//                                             when it begins, "end FRAMES MS" when it is done, then
//                                             closes the saver
//   vellora_win_bench profile [BALLS...]      where a frame's time goes, per canvas call, on a
//                                             window the size of the screen
//   vellora_win_bench nop                     nothing (starts the Wine server and prefix)
#include "win/win32.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "bench/bench_format.h"
#include "bench/bench_world.h"
#include "bench/win/tick_counter.h"
#include "saver/app/anim_timer.h"
#include "saver/app/anim_wnd.h"
#include "saver/app/full_screen_run.h"
#include "saver/app/gdi_canvas.h"
#include "saver/config/settings.h"
#include "saver/sim/world_setup.h"

namespace {

using namespace vellora;
using namespace vellora::bench;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Dispatches messages (sent ones included) until the time is up, sleeping while there are none.
void PumpFor(double ms) {
    const double end = NowMs() + ms;
    for (double now = NowMs(); now < end; now = NowMs()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now) + 1, QS_ALLINPUT);
        Pump();
    }
}

std::vector<double>* g_tickTimes = nullptr;

LRESULT CALLBACK BenchWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (g_tickTimes) g_tickTimes->push_back(NowMs());
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// A black popup at (x, y) of the virtual screen.
HWND MakeWindow(int width, int height, int x = 0, int y = 0) {
    static const char* className = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BenchWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = "VelloraBenchWindow";
        RegisterClassA(&wc);
        return "VelloraBenchWindow";
    }();
    HWND hwnd = CreateWindowExA(0, className, "Vellora bench", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd) {
        UpdateWindow(hwnd);
        PumpFor(200);
    }
    return hwnd;
}

// Draws frames the way the saver's tick does (a client-area context per frame) until both a
// minimum count and a minimum time have passed; the time per frame in seconds.
template <typename Draw>
double TimeFrames(HWND hwnd, Draw draw) {
    int frames = 0;
    const double start = NowMs();
    double elapsed = 0.0;
    while (frames < 200 || elapsed < 1000.0) {
        HDC dc = GetDC(hwnd);
        {
            win::GdiCanvas canvas(dc);
            draw(canvas);
        }
        GdiFlush();
        ReleaseDC(hwnd, dc);
        Pump();
        ++frames;
        elapsed = NowMs() - start;
    }
    return elapsed / 1000.0 / frames;
}

int RunRender() {
    const Rect window{0, 0, kScreenWidth, kScreenHeight};
    HWND hwnd = MakeWindow(window.right, window.bottom);
    if (!hwnd) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    for (const std::int32_t n : {20, 100}) {
        Simulation sim(kSeed);
        BuildWorld(sim, window, n);
        WarmUp(sim, window);
        // One real frame first, so that the bounds are those that were drawn.
        TimeFrames(hwnd, [&](Canvas& c) { RenderFrame(sim, c); });
        const double dirty = TimeFrames(hwnd, [&](Canvas& c) { RenderFrame(sim, c); });
        const double copied = static_cast<double>(DirtyPixels(sim, window));
        const double full = TimeFrames(hwnd, [&](Canvas& c) { FullRedraw(sim, c); });
        const double pixels = static_cast<double>(window.Width()) * window.Height();
        const std::string scase = Count(n) + " balls, 1024 x 768 window (Wine, Xvfb)";
        Row(stdout, "RenderFrame, GDI", scase,
            Duration(dirty) + "/frame; " + Count(static_cast<std::int64_t>(copied)) + " px copied (" +
                Fixed(100.0 * copied / pixels, 1) + "% of the window)",
            "");
        Row(stdout, "Full-window redraw, GDI", scase,
            Duration(full) + "/frame; " + Count(static_cast<std::int64_t>(pixels)) + " px filled and copied",
            Fixed(full / dirty, 1) + "x RenderFrame's time, " + Fixed(pixels / copied, 1) + "x its pixels");
    }
    DestroyWindow(hwnd);
    return 0;
}

double Percentile(std::vector<double> sorted, double p) {
    const std::size_t i = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size()))) - 1;
    return sorted[std::min(i, sorted.size() - 1)];
}

int RunTimer(unsigned period, double seconds) {
    HWND hwnd = MakeWindow(64, 64);
    if (!hwnd) return 1;
    std::vector<double> ticks;
    ticks.reserve(static_cast<std::size_t>(seconds * 1000.0 / period) + 1000);
    g_tickTimes = &ticks;
    if (!win::StartAnimTimer(hwnd, 1, period, 0)) {
        std::fprintf(stderr, "StartAnimTimer failed\n");
        return 1;
    }
    PumpFor(seconds * 1000.0);
    win::StopAnimTimer(hwnd, 1);
    g_tickTimes = nullptr;
    DestroyWindow(hwnd);
    if (ticks.size() < 3) {
        std::fprintf(stderr, "only %zu ticks\n", ticks.size());
        return 1;
    }

    // The first tick comes when the worker starts; the intervals count from it.
    std::vector<double> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i) intervals.push_back(ticks[i] - ticks[i - 1]);
    double sum = 0.0;
    long lost = 0, doubled = 0;
    for (const double iv : intervals) {
        sum += iv;
        const long periods = std::lround(iv / period);
        if (periods > 1) lost += periods - 1;
        if (iv < 0.5 * period) ++doubled;
    }
    std::sort(intervals.begin(), intervals.end());
    const double span = ticks.back() - ticks.front();
    const long expected = std::lround(span / period);
    auto ms = [](double v) { return Fixed(v, 2); };
    Row(stdout, "Animation timer (empty handler)",
        std::to_string(period) + " ms period, " + Fixed(seconds, 0) + " s (Wine)",
        "interval mean " + ms(sum / static_cast<double>(intervals.size())) + " ms, p50 " + ms(Percentile(intervals, 0.5)) +
            ", p99 " + ms(Percentile(intervals, 0.99)) + ", max " + ms(intervals.back()) + " ms",
        Count(static_cast<std::int64_t>(intervals.size())) + " intervals in " + Fixed(span / 1000.0, 2) + " s, where a steady clock has " +
            Count(expected) + " (" + Count(expected - static_cast<long>(intervals.size())) + " fewer); " +
            Count(lost) + " lost in gaps of 1.5 periods or more, " + Count(doubled) + " doubled (under half a period)");
    return 0;
}

// The virtual screen (every monitor) and the monitors in it, relative to its top left corner.
struct ScreenLayout {
    Rect virtualScreen;
    std::vector<Rect> monitors;
    int Width() const { return virtualScreen.Width(); }
    int Height() const { return virtualScreen.Height(); }
};

ScreenLayout ReadScreenLayout() {
    ScreenLayout layout;
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    layout.virtualScreen =
        Rect{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (const MonitorArea& m : FullScreenRun::SystemMonitors()) {
        layout.monitors.push_back(Rect{m.area.left - x, m.area.top - y, m.area.right - x, m.area.bottom - y});
    }
    if (layout.monitors.empty()) layout.monitors.push_back(Rect{0, 0, layout.Width(), layout.Height()});
    return layout;
}

// The virtual screen as 0x00BBGGRR-agnostic words: only "black or not" matters here. True when
// something is not black.
bool ScreenHasNonBlack(const ScreenLayout& layout, std::vector<std::uint32_t>& bits) {
    const int width = layout.Width(), height = layout.Height();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, layout.virtualScreen.left, layout.virtualScreen.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(pixels);
    bits.assign(p, p + static_cast<std::size_t>(width) * height);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (const std::uint32_t v : bits) {
        if ((v & 0x00FFFFFFu) != 0) return true;
    }
    return false;
}

// Whether the captured screen shows something on every monitor: the saver's first frame.
bool EveryMonitorLit(const ScreenLayout& layout, const std::vector<std::uint32_t>& bits) {
    for (const Rect& m : layout.monitors) {
        bool lit = false;
        for (int y = m.top; y < m.bottom && !lit; ++y) {
            const std::uint32_t* row = bits.data() + static_cast<std::size_t>(y) * layout.Width();
            for (int x = m.left; x < m.right; ++x) {
                if ((row[x] & 0x00FFFFFFu) != 0) {
                    lit = true;
                    break;
                }
            }
        }
        if (!lit) return false;
    }
    return true;
}

std::int64_t LitPixels(const std::vector<std::uint32_t>& bits) {
    std::int64_t lit = 0;
    for (const std::uint32_t v : bits) lit += (v & 0x00FFFFFFu) != 0;
    return lit;
}

// The captured screen as a binary PPM, to look at what was taken for the first frame.
void WritePpm(const char* path, int width, int height, const std::vector<std::uint32_t>& bits) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (const std::uint32_t v : bits) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                      static_cast<unsigned char>(v)};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

struct ProcessWindows {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// From CreateProcess to the first sight of lit pixels on every monitor, in ms; the time its first
// window became visible in windowMs. Negative when no frame came within the timeout.
double TimeOneStartup(const char* scr, double timeoutMs, const ScreenLayout& layout, double& windowMs,
                      std::vector<std::uint32_t>& bits) {
    std::string command = std::string("\"") + scr + "\" /s";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s\n", scr);
        return -1.0;
    }
    double frameMs = -1.0;
    windowMs = -1.0;
    ProcessWindows pw{pi.dwProcessId, nullptr};
    while (NowMs() - start < timeoutMs) {
        Pump();
        if (windowMs < 0) {
            EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&pw));
            if (pw.found) windowMs = NowMs() - start;
        }
        if (windowMs >= 0 && ScreenHasNonBlack(layout, bits) && EveryMonitorLit(layout, bits)) {
            frameMs = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (frameMs < 0) {
        std::fprintf(stderr, "no frame within %.0f ms (window %s)\n", timeoutMs, windowMs < 0 ? "never shown" : "shown");
    }
    return frameMs;
}

std::string DescribeMonitors(const ScreenLayout& layout) {
    const std::size_t n = layout.monitors.size();
    std::string text = std::to_string(n) + (n == 1 ? " monitor, " : " monitors, ");
    for (std::size_t i = 0; i < layout.monitors.size(); ++i) {
        if (i > 0) text += " + ";
        text += std::to_string(layout.monitors[i].Width()) + " x " + std::to_string(layout.monitors[i].Height());
    }
    return text;
}

// A black window of our own covers every monitor first, so that whatever is not black on the
// screen once the saver's windows are up was drawn by the saver. Each run is timed from
// CreateProcess to the first sight of balls on every monitor, and the saver is ended then.
// VELLORA_BENCH_SHOT=FILE.ppm keeps the screen as it was when the last run's frame was seen.
int RunStartup(const char* scr, double timeoutMs, int runs) {
    const ScreenLayout layout = ReadScreenLayout();
    std::vector<std::uint32_t> bits;
    HWND cover = MakeWindow(layout.Width(), layout.Height(), layout.virtualScreen.left, layout.virtualScreen.top);
    PumpFor(300);
    if (ScreenHasNonBlack(layout, bits)) {
        std::fprintf(stderr, "the screen is not black under a black window; cannot watch for a frame\n");
        return 1;
    }
    // How long one look at the screen takes: the resolution of the figure.
    const double pollStart = NowMs();
    for (int i = 0; i < 10; ++i) ScreenHasNonBlack(layout, bits);
    const double pollMs = (NowMs() - pollStart) / 10.0;
    std::vector<double> frames, windows;
    std::vector<std::uint32_t> seen;
    std::int64_t lit = 0;
    for (int i = 0; i < runs; ++i) {
        double windowMs = -1.0;
        const double frameMs = TimeOneStartup(scr, timeoutMs, layout, windowMs, bits);
        if (frameMs < 0) return 1;
        frames.push_back(frameMs);
        windows.push_back(windowMs);
        lit = LitPixels(bits);
        seen = bits;
        // Let the screen go black again under our window before the next run.
        for (int wait = 0; wait < 100 && ScreenHasNonBlack(layout, bits); ++wait) PumpFor(20);
    }
    if (const char* shot = std::getenv("VELLORA_BENCH_SHOT")) WritePpm(shot, layout.Width(), layout.Height(), seen);
    if (cover) DestroyWindow(cover);
    std::sort(frames.begin(), frames.end());
    std::sort(windows.begin(), windows.end());
    Row(stdout, "Start-up to first frame",
        std::string("VelloraSaver.scr /s, ") + DescribeMonitors(layout) + " (Wine, server warm)",
        "median " + Duration(Percentile(frames, 0.5) / 1000.0) + " (" + Duration(frames.front() / 1000.0) + " to " +
            Duration(frames.back() / 1000.0) + ", " + std::to_string(runs) + " runs)",
        "first window visible after a median " + Duration(Percentile(windows, 0.5) / 1000.0) + "; " + Count(lit) +
            " px lit in the first frame seen on every monitor; screen read every " + Duration((pollMs + 1.0) / 1000.0));
    return 0;
}

// The saver's own drawing window, each WM_TIMER timed on the window's thread (with the drawing
// flushed to the X server, as the X11 front end waits for its server at the end of a frame).
class TimedAnimWnd : public AnimWnd {
public:
    TimedAnimWnd(Simulation& sim, const Profile& profile, std::vector<double>& starts, std::vector<double>& costs)
        : AnimWnd(false, sim, profile), starts_(starts), costs_(costs) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_TIMER) return AnimWnd::WindowProc(message, wParam, lParam);
        const double start = NowMs();
        const LRESULT result = AnimWnd::WindowProc(message, wParam, lParam);
        GdiFlush();
        starts_.push_back(start);
        costs_.push_back(NowMs() - start);
        return result;
    }

private:
    std::vector<double>& starts_;
    std::vector<double>& costs_;
};

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

int RunSaverFrames(int width, int height, int balls, int refreshRate, double seconds) {
    MemoryProfile profile;
    StoredSettings().Set(Setting::NumBalls, balls).Set(Setting::RefreshRate, refreshRate).Write(profile);
    Simulation sim(kSeed);
    std::vector<double> starts, costs;
    starts.reserve(static_cast<std::size_t>(seconds * 1000.0) + 100);
    costs.reserve(starts.capacity());
    TimedAnimWnd window(sim, profile, starts, costs);
    const Rect area{0, 0, width, height};
    if (!window.CreateInRect(0, WS_POPUP | WS_VISIBLE, area, nullptr)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    SetupWorld(sim, profile, area, false);
    PumpFor(1000.0);  // the first frames and Wine's own start-up are not counted
    starts.clear();
    costs.clear();
    const double cpuBefore = ProcessCpuSeconds(), wallBefore = NowMs();
    PumpFor(seconds * 1000.0);
    const double cpu = ProcessCpuSeconds() - cpuBefore, wall = (NowMs() - wallBefore) / 1000.0;
    win::StopAnimTimer(window.Handle(), AnimWnd::kFrameTimerId);
    DestroyWindow(window.Handle());
    if (costs.size() < 3) {
        std::fprintf(stderr, "only %zu ticks\n", costs.size());
        return 1;
    }
    double sum = 0.0;
    for (const double c : costs) sum += c;
    const double apart = (starts.back() - starts.front()) / static_cast<double>(starts.size() - 1);
    std::sort(costs.begin(), costs.end());
    Row(stdout, "Windows saver frame (Wine, Xvfb)",
        Count(balls) + " balls, " + std::to_string(width) + " x " + std::to_string(height) + ", RefreshRate " +
            std::to_string(refreshRate),
        "mean " + Duration(sum / static_cast<double>(costs.size()) / 1000.0) + "/frame, p99 " +
            Duration(Percentile(costs, 0.99) / 1000.0) + "; ticks " + Fixed(apart, 2) + " ms apart",
        "the saver's process: " + Fixed(100.0 * cpu / wall, 1) + "% of a core (Wine and X servers not counted)");
    return 0;
}

// --- frames: a saver process's frame rate, counted from outside ---

BOOL CALLBACK FindSaverWindow(HWND hwnd, LPARAM lParam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(hwnd) && (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The saver's frames are its frame timer's WM_TIMER messages. A hook library loaded into the saver
// counts them in a shared mapping; the saver itself is the unchanged module. The caller reads the
// process's CPU time between our "start" and "end" lines.
int RunFrames(double seconds, double settleSeconds) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), kTickCounterMapping);
    auto* ticks = mapping ? static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG))) : nullptr;
    if (!ticks) {
        std::fprintf(stderr, "no shared counter\n");
        return 1;
    }
    HWND saver = nullptr;
    for (int i = 0; i < 400 && !saver; ++i) {
        EnumWindows(FindSaverWindow, reinterpret_cast<LPARAM>(&saver));
        if (!saver) Sleep(25);
    }
    if (!saver) {
        std::fprintf(stderr, "no saver window\n");
        return 1;
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string library(path, length);
    library = library.substr(0, library.find_last_of("\\/") + 1) + kTickCounterLibrary;
    HMODULE hookModule = LoadLibraryA(library.c_str());
    auto proc = hookModule ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hookModule, kTickCounterProc))) : nullptr;
    HHOOK hook = proc ? SetWindowsHookExA(WH_CALLWNDPROC, proc, hookModule, GetWindowThreadProcessId(saver, nullptr)) : nullptr;
    if (!hook) {
        std::fprintf(stderr, "cannot hook the saver's window thread (%s)\n", library.c_str());
        return 1;
    }
    PumpFor(settleSeconds * 1000.0);
    if (*ticks == 0) {
        std::fprintf(stderr, "the hook counted no frame\n");
        UnhookWindowsHookEx(hook);
        return 1;
    }
    const LONG first = *ticks;
    const double start = NowMs();
    std::printf("start\n");
    std::fflush(stdout);
    PumpFor(seconds * 1000.0);
    const LONG last = *ticks;
    const double elapsed = NowMs() - start;
    std::printf("end %ld %.1f\n", static_cast<long>(last - first), elapsed);
    std::fflush(stdout);
    UnhookWindowsHookEx(hook);
    // The caller reads the saver's CPU time on our "end"; give it a moment before the saver goes.
    PumpFor(500);
    PostMessageA(saver, WM_CLOSE, 0, 0);
    return 0;
}

// --- profile: where one tick's time goes ---

enum Op { kStep, kClipBox, kMakeBuffer, kMapBuffer, kReleaseBuffer, kMakeBrush, kReleaseBrush, kMakePen, kReleasePen,
          kFill, kEllipse, kLine, kCopy, kPlainMapping, kOtherRender, kGetReleaseDc, kPump, kOpCount };
const char* const kOpNames[kOpCount] = {
    "StepWorld", "clip box", "back buffer: make (memory context, bitmap)", "back buffer: map to a rectangle",
    "back buffer: release",
    "brush: make", "brush: release", "pen: make", "pen: release", "FillRect", "Ellipse", "Line (sparks)",
    "copy to the window (BitBlt)", "plain mapping on the window", "RenderFrame outside canvas calls",
    "GetDC + ReleaseDC", "message pump after the frame (Wine shows the window's pixels)"};

struct OpTimes {
    double ms[kOpCount] = {};
    long calls[kOpCount] = {};
    void Add(Op op, double since) {
        ms[op] += NowMs() - since;
        ++calls[op];
    }
};

// Times every call of the canvas it wraps; back buffers, brushes and pens it hands out are wrapped
// too, so that their release is timed where the renderer lets them go.
class TimedCanvas : public Canvas {
public:
    TimedCanvas(Canvas& inner, OpTimes& times) : inner_(inner), times_(times) {}
    TimedCanvas(std::unique_ptr<Canvas> owned, OpTimes& times) : inner_(*owned), owned_(std::move(owned)), times_(times) {}
    ~TimedCanvas() override {
        if (!owned_) return;
        const double t = NowMs();
        owned_.reset();
        times_.Add(kReleaseBuffer, t);
    }

    Rect ClipBox() const override {
        const double t = NowMs();
        const Rect r = inner_.ClipBox();
        times_.Add(kClipBox, t);
        return r;
    }
    std::unique_ptr<Canvas> CreateBackBuffer(const Rect& area) override {
        const double t = NowMs();
        auto buffer = inner_.CreateBackBuffer(area);
        times_.Add(kMakeBuffer, t);
        if (!buffer) return nullptr;
        return std::make_unique<TimedCanvas>(std::move(buffer), times_);
    }
    void MapBackBuffer(std::int32_t left, std::int32_t top) override {
        const double t = NowMs();
        inner_.MapBackBuffer(left, top);
        times_.Add(kMapBuffer, t);
    }
    void UsePlainMapping() override {
        const double t = NowMs();
        inner_.UsePlainMapping();
        times_.Add(kPlainMapping, t);
    }
    std::unique_ptr<Brush> CreateSolidBrush(ColorRef color) override {
        const double t = NowMs();
        auto brush = inner_.CreateSolidBrush(color);
        times_.Add(kMakeBrush, t);
        return brush ? std::make_unique<TimedBrush>(std::move(brush), times_) : nullptr;
    }
    std::unique_ptr<Pen> CreateSolidPen(int width, ColorRef color) override {
        const double t = NowMs();
        auto pen = inner_.CreateSolidPen(width, color);
        times_.Add(kMakePen, t);
        return pen ? std::make_unique<TimedPen>(std::move(pen), times_) : nullptr;
    }
    void FillRect(const Rect& r, const Brush& brush) override {
        const double t = NowMs();
        inner_.FillRect(r, Inner(brush));
        times_.Add(kFill, t);
    }
    void Ellipse(const Rect& r, const Pen& pen, const Brush& brush) override {
        const double t = NowMs();
        inner_.Ellipse(r, Inner(pen), Inner(brush));
        times_.Add(kEllipse, t);
    }
    void Line(int x0, int y0, int x1, int y1, const Pen& pen) override {
        const double t = NowMs();
        inner_.Line(x0, y0, x1, y1, Inner(pen));
        times_.Add(kLine, t);
    }
    void CopyFrom(const Canvas& backBuffer, const Rect& r) override {
        const double t = NowMs();
        inner_.CopyFrom(static_cast<const TimedCanvas&>(backBuffer).inner_, r);
        times_.Add(kCopy, t);
    }

private:
    template <typename Object, Op kRelease>
    class Timed : public Object {
    public:
        Timed(std::unique_ptr<Object> inner, OpTimes& times) : inner(std::move(inner)), times_(times) {}
        ~Timed() override {
            const double t = NowMs();
            inner.reset();
            times_.Add(kRelease, t);
        }
        std::unique_ptr<Object> inner;

    private:
        OpTimes& times_;
    };
    using TimedBrush = Timed<Brush, kReleaseBrush>;
    using TimedPen = Timed<Pen, kReleasePen>;
    static const Brush& Inner(const Brush& b) { return *static_cast<const TimedBrush&>(b).inner; }
    static const Pen& Inner(const Pen& p) { return *static_cast<const TimedPen&>(p).inner; }

    Canvas& inner_;
    std::unique_ptr<Canvas> owned_;
    OpTimes& times_;
};

// Ticks as the saver's window runs them (a client-area context per frame, step and render, then
// back to the message loop), on a window the size of the screen with the default settings but
// the ball count and sparks on; each call timed. Per frame, the median over the frames, as table
// rows: on a machine shared with other work a frame now and then waits for a processor, and the
// median leaves those frames out where a mean would spread them over every call.
int RunProfile(const std::vector<std::int32_t>& ballCounts) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const Rect client{0, 0, width, height};
    HWND hwnd = MakeWindow(width, height);
    if (!hwnd) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    for (const std::int32_t n : ballCounts) {
        MemoryProfile profile;
        profile.WriteInt(kSettingsSection, "NumBalls", n);
        profile.WriteInt(kSettingsSection, "Sparks", 1);
        Simulation sim(kSeed);
        if (!SetupWorld(sim, profile, client, false)) return 1;
        std::vector<OpTimes> frames;
        std::vector<double> ticks;
        for (int pass = 0; pass < 2; ++pass) {  // the first pass warms up and is forgotten
            frames.clear();
            ticks.clear();
            const double start = NowMs();
            while (frames.size() < 300 || NowMs() - start < 3000.0) {
                OpTimes times;
                const double tick = NowMs();
                double t = tick;
                HDC dc = GetDC(hwnd);
                times.Add(kGetReleaseDc, t);
                {
                    win::GdiCanvas gdi(dc);
                    TimedCanvas canvas(gdi, times);
                    t = NowMs();
                    StepWorld(sim, client);
                    times.Add(kStep, t);
                    t = NowMs();
                    RenderFrame(sim, canvas);
                    times.Add(kOtherRender, t);
                }
                t = NowMs();
                ReleaseDC(hwnd, dc);
                times.ms[kGetReleaseDc] += NowMs() - t;
                t = NowMs();
                Pump();
                times.Add(kPump, t);
                ticks.push_back(NowMs() - tick);
                double inCalls = 0.0;
                for (int op = kClipBox; op < kOtherRender; ++op) inCalls += times.ms[op];
                times.ms[kOtherRender] -= inCalls;
                frames.push_back(times);
                ++sim.world.frameCount;
            }
        }
        const double count = static_cast<double>(frames.size());
        const double mean = std::accumulate(ticks.begin(), ticks.end(), 0.0) / count;
        std::sort(ticks.begin(), ticks.end());
        const double tick = Percentile(ticks, 0.5);
        const std::string scase = Count(n) + " balls, sparks on, " + std::to_string(width) + " x " + std::to_string(height) + " (Wine)";
        Row(stdout, "Tick profile: whole tick (median)", scase, Duration(tick / 1000.0) + "/frame",
            Count(static_cast<std::int64_t>(frames.size())) + " frames, mean " + Duration(mean / 1000.0));
        for (int op = 0; op < kOpCount; ++op) {
            std::vector<double> perFrame;
            long calls = 0;
            for (const OpTimes& f : frames) {
                perFrame.push_back(f.ms[op]);
                calls += f.calls[op];
            }
            if (calls == 0) continue;
            std::sort(perFrame.begin(), perFrame.end());
            const double median = Percentile(perFrame, 0.5);
            Row(stdout, std::string("Tick profile: ") + kOpNames[op], scase,
                Duration(median / 1000.0) + "/frame (" + Fixed(100.0 * median / tick, 1) + "%)",
                Fixed(static_cast<double>(calls) / count, 1) + " calls/frame, " +
                    Duration(median / 1000.0 / (static_cast<double>(calls) / count)) + " each");
        }
        TeardownWorld(sim);
    }
    DestroyWindow(hwnd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "nop") return 0;
    if (mode == "render") return RunRender();
    if (mode == "frames" && argc > 2) return RunFrames(std::atof(argv[2]), argc > 3 ? std::atof(argv[3]) : 2.0);
    if (mode == "profile") {
        std::vector<std::int32_t> counts;
        for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
        if (counts.empty()) counts = {20, 100};
        return RunProfile(counts);
    }
    if (mode == "timer" && argc > 3) return RunTimer(static_cast<unsigned>(std::atoi(argv[2])), std::atof(argv[3]));
    if (mode == "startup" && argc > 2) {
        return RunStartup(argv[2], argc > 3 ? std::atof(argv[3]) : 20000.0, argc > 4 ? std::max(1, std::atoi(argv[4])) : 5);
    }
    if (mode == "saver" && argc > 6) {
        return RunSaverFrames(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                              std::atof(argv[6]));
    }
    std::fprintf(stderr,
                 "usage: vellora_win_bench render | timer PERIOD_MS SECONDS | startup SCR [TIMEOUT_MS [RUNS]] |\n"
                 "       saver W H BALLS REFRESH SECONDS | frames SECONDS [SETTLE_SECONDS] | profile [BALLS...] | nop\n");
    return 2;
}
