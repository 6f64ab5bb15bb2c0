#include "saver/x11/hack_run.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "saver/app/frame_tick.h"
#include "saver/config/product.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "saver/x11/x11_canvas.h"
#include "saver/x11/x_errors.h"

namespace vellora::hack {

namespace {

using Clock = std::chrono::steady_clock;

// A signal only notes itself and wakes the loop through the pipe; the loop ends the run.
volatile std::sig_atomic_t g_stopSignal = 0;
int g_wakeWrite = -1;

void OnStopSignal(int signal) {
    g_stopSignal = signal;
    if (g_wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(g_wakeWrite, &byte, 1);
    }
}

// Xlib cannot go on once the connection is gone; the process ends here, as a normal exit.
int OnLostConnection(Display*) {
    std::fputs("vellora: lost the connection to the X server\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

class WakePipe {
public:
    WakePipe() {
        if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
        g_wakeWrite = fds_[1];
    }
    ~WakePipe() {
        g_wakeWrite = -1;
        for (int fd : fds_)
            if (fd >= 0) close(fd);
    }
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;
    int ReadEnd() const { return fds_[0]; }
    void Drain() const {
        char bytes[64];
        while (fds_[0] >= 0 && read(fds_[0], bytes, sizeof bytes) > 0) {
        }
    }

private:
    int fds_[2] = {-1, -1};
};

void CatchStopSignals() {
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A write to a closed connection must reach Xlib as an error, not end the process.
    signal(SIGPIPE, SIG_IGN);
}

class Hack {
public:
    Hack(const HackOptions& options, Display* display)
        : options_(options), display_(display),
          sim_(options.seedGiven ? options.seed : static_cast<std::uint32_t>(std::time(nullptr))),
          period_(std::chrono::milliseconds(FramePeriodMs(options.settings))) {
        options.settings.Write(profile_);
    }

    ~Hack() {
        canvas_.reset();
        if (ownWindow_) XDestroyWindow(display_, window_);
        XSync(display_, False);
        TeardownWorld(sim_);
    }

    Hack(const Hack&) = delete;
    Hack& operator=(const Hack&) = delete;

    int Run();

private:
    bool FindWindow();
    void MakeOwnWindow();
    bool StartScene(bool resized);
    void HandleEvents();
    void Tick();
    void Wait(Clock::duration span, int wakeFd);
    void Report(const char* format, ...) const;

    const HackOptions& options_;
    Display* display_;
    Window window_ = 0;
    bool ownWindow_ = false;
    Atom wmProtocols_ = None, wmDeleteWindow_ = None;
    MemoryProfile profile_;  // the command line's settings, read again at every scene as the store is
    Simulation sim_;
    std::unique_ptr<XWindowCanvas> canvas_;
    const Clock::duration period_;
    std::int32_t pendingWidth_ = 0, pendingHeight_ = 0;
    const char* end_ = nullptr;  // why the run ends; null while it goes on
    std::uint64_t frames_ = 0;
    double frameMicrosSum_ = 0.0, frameMicrosMax_ = 0.0;
    Clock::time_point firstTick_, lastTick_;
};

void Hack::Report(const char* format, ...) const {
    if (!options_.verbose) return;
    std::va_list args;
    va_start(args, format);
    std::fputs("vellora: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}

void Hack::MakeOwnWindow() {
    const int screen = DefaultScreen(display_);
    const unsigned width = static_cast<unsigned>(std::min(1024, DisplayWidth(display_, screen)));
    const unsigned height = static_cast<unsigned>(std::min(768, DisplayHeight(display_, screen)));
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, screen);
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    window_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, width, height, 0, CopyFromParent,
                            InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    ownWindow_ = true;
    XStoreName(display_, window_, kDisplayName);
    char resName[] = "vellora", resClass[] = "Vellora";
    XClassHint hint{resName, resClass};
    XSetClassHint(display_, window_, &hint);
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);
    XMapWindow(display_, window_);
}

bool Hack::FindWindow() {
    switch (options_.target) {
    case Target::OwnWindow:
        MakeOwnWindow();
        return true;
    case Target::Root:
        window_ = DefaultRootWindow(display_);
        break;
    case Target::WindowId:
        window_ = options_.windowId;
        break;
    }
    // Another client's window (XScreenSaver's, the root): only exposures and size changes are
    // asked of it. A window id that names no window fails the selection.
    const unsigned long before = SyncAndCountErrors(display_);
    XSelectInput(display_, window_, ExposureMask | StructureNotifyMask);
    if (SyncAndCountErrors(display_) != before) {
        std::fprintf(stderr, "vellora: no window 0x%lx on display %s\n", static_cast<unsigned long>(window_),
                     DisplayString(display_));
        return false;
    }
    return true;
}

// A scene for the window's size as it is now; after a resize, on a new image of the new size.
bool Hack::StartScene(bool resized) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes)) {
        end_ = "the window is gone";
        return true;
    }
    canvas_.reset();
    std::string error;
    canvas_ = XWindowCanvas::Create(display_, window_, attributes, error);
    if (!canvas_) {
        std::fprintf(stderr, "vellora: %s\n", error.c_str());
        return false;
    }
    pendingWidth_ = canvas_->Width();
    pendingHeight_ = canvas_->Height();
    canvas_->Clear();
    SetupWorld(sim_, profile_, canvas_->ClipBox(), false);
    if (resized) {
        Report("new scene at %dx%d after frame %llu", canvas_->Width(), canvas_->Height(),
               static_cast<unsigned long long>(frames_));
    }
    return true;
}

void Hack::HandleEvents() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.window == window_ && canvas_) {
                const XExposeEvent& e = event.xexpose;
                canvas_->Repaint(Rect{e.x, e.y, e.x + e.width, e.y + e.height});
            }
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == window_) {
                pendingWidth_ = event.xconfigure.width;
                pendingHeight_ = event.xconfigure.height;
            }
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) end_ = "the window was destroyed";
            break;
        case ClientMessage:
            if (ownWindow_ && event.xclient.message_type == wmProtocols_ &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow_)
                end_ = "closed by the window manager";
            break;
        default:
            break;
        }
    }
    // Drawing on a window that another client destroyed comes back as errors on it.
    const XErrorLog& errors = Errors();
    if (errors.count != 0 && errors.lastResource == window_ &&
        (errors.lastCode == BadWindow || errors.lastCode == BadDrawable))
        end_ = "the window is gone";
}

void Hack::Tick() {
    const Clock::time_point start = Clock::now();
    if (frames_ == 0) firstTick_ = start;
    lastTick_ = start;
    TickFrame(sim_, profile_, canvas_->ClipBox(), canvas_.get());
    canvas_->Present();
    ++frames_;
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    frameMicrosSum_ += micros;
    frameMicrosMax_ = std::max(frameMicrosMax_, micros);
}

void Hack::Wait(Clock::duration span, int wakeFd) {
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(span).count();
    const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    ppoll(fds, wakeFd >= 0 ? 2 : 1, &timeout, nullptr);
}

int Hack::Run() {
    WakePipe wake;
    if (!FindWindow() || !StartScene(false)) return 1;
    if (!canvas_) {
        std::fprintf(stderr, "vellora: the window 0x%lx went away\n", static_cast<unsigned long>(window_));
        return 1;
    }
    Report("pid %d drawing on window 0x%lx, %dx%d, %s images, frame period %lld ms", static_cast<int>(getpid()),
           static_cast<unsigned long>(window_), canvas_->Width(), canvas_->Height(),
           canvas_->SharedMemory() ? "shared-memory" : "plain",
           static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(period_).count()));

    // Ticks are paced from the start of one to the start of the next; a late tick is followed by
    // the next at once, never by a backlog.
    Clock::time_point next = Clock::now();
    for (;;) {
        HandleEvents();
        if (g_stopSignal != 0) end_ = g_stopSignal == SIGINT ? "SIGINT" : "SIGTERM";
        if (!end_ && (pendingWidth_ != canvas_->Width() || pendingHeight_ != canvas_->Height()) &&
            !StartScene(true))
            return 1;
        if (end_) break;
        canvas_->Present();
        if (options_.framesGiven && frames_ >= options_.frames) {
            end_ = "--frames";
            break;
        }
        const Clock::time_point now = Clock::now();
        if (now >= next) {
            next = now + period_;
            Tick();
            continue;
        }
        if (XEventsQueued(display_, QueuedAlready) > 0) continue;
        Wait(next - now, wake.ReadEnd());
        wake.Drain();
    }
    const double tickSpanMs = std::chrono::duration<double, std::milli>(lastTick_ - firstTick_).count();
    Report("ended after frame %llu (%s); frame time mean %.1f us, max %.1f us; ticks %.2f ms apart; %llu pixels sent",
           static_cast<unsigned long long>(frames_), end_, frames_ ? frameMicrosSum_ / static_cast<double>(frames_) : 0.0,
           frameMicrosMax_, frames_ > 1 ? tickSpanMs / static_cast<double>(frames_ - 1) : 0.0,
           static_cast<unsigned long long>(canvas_ ? canvas_->PixelsSent() : 0));
    return 0;
}

}  // namespace

int RunHack(const HackOptions& options) {
    CatchStopSignals();
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (!display) {
        std::fprintf(stderr, "vellora: cannot open display %s\n", XDisplayName(options.display.empty() ? nullptr : options.display.c_str()));
        return 1;
    }
    InstallXErrorLog();
    XSetIOErrorHandler(OnLostConnection);
    int status = 0;
    {
        Hack hack(options, display);
        status = hack.Run();
    }
    XCloseDisplay(display);
    return status;
}

}  // namespace vellora::hack
