#include "tests/x11/x11_harness.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "saver/render/soft_canvas.h"
#include "tools/sim/png_writer.h"

namespace vellora::xtest {

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    // A test that dies takes its servers and hacks with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (const std::string& e : env) {
        const auto eq = e.find('=');
        if (eq == std::string::npos)
            unsetenv(e.c_str());
        else
            setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void RedirectTo(const std::string& path, int fd) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        dup2(file, fd);
        close(file);
    }
}

// The windows the tests look at come and go with the hacks that draw them: an error on one (a
// grab of a window not yet mapped, or already destroyed) is an empty answer, not the end.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

int Shift(unsigned long mask) {
    int s = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (done()) return true;
        if (SecondsSince(start) > seconds) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TempDir::TempDir(const std::string& stem) : path_("/tmp/" + stem + "-XXXXXX") {
    if (!mkdtemp(path_.data())) path_.clear();
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& outPath,
                 const std::string& errPath)
    : outPath_(outPath), errPath_(errPath) {
    pid_ = fork();
    if (pid_ == 0) {
        RedirectTo(outPath, STDOUT_FILENO);
        RedirectTo(errPath, STDERR_FILENO);
        ExecChild(argv, env);
    }
}

Process::~Process() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

void Process::Signal(int signal) const {
    if (pid_ > 0 && !reaped_) kill(pid_, signal);
}

bool Process::Running() {
    if (pid_ <= 0 || reaped_) return false;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

bool Process::Wait(double seconds) {
    return WaitUntil([&] { return !Running(); }, seconds);
}

bool Process::ExitedWith(int code) const { return reaped_ && WIFEXITED(status_) && WEXITSTATUS(status_) == code; }

int RunToEnd(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
             std::string* out, std::string* err) {
    static int runs = 0;
    const std::string base = dir + "/run" + std::to_string(++runs);
    Process p(argv, env, base + ".out", base + ".err");
    if (!p.Wait(60)) return -1;
    if (out) *out = p.Out();
    if (err) *err = p.Err();
    return WIFEXITED(p.WaitStatus()) ? WEXITSTATUS(p.WaitStatus()) : -1;
}

XServer::XServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        RedirectTo("/dev/null", STDERR_FILENO);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // -displayfd: the server picks a free display and writes its number once it accepts
        // connections; -noreset: it keeps its state when the last client goes.
        ExecChild({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
                   "-noreset"},
                  {});
    }
    close(fds[1]);
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    const Clock::time_point start = Clock::now();
    while (number.find('\n') == std::string::npos && SecondsSince(start) < 30) {
        if (poll(&pfd, 1, 100) <= 0) continue;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos) return;
    name_ = ":" + number.substr(0, number.find('\n'));
    display_ = XOpenDisplay(name_.c_str());
    XSetErrorHandler(IgnoreXError);
}

XServer::~XServer() { Kill(); }

void XServer::Kill() {
    if (pid_ <= 0) return;
    // Our connection goes first: Xlib ends the process that uses a connection to a dead server.
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    kill(pid_, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 10)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

Picture Grab(Display* display, Window window) {
    Picture p;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return p;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return p;
    const Visual* v = attributes.visual;
    const int rs = Shift(v->red_mask), gs = Shift(v->green_mask), bs = Shift(v->blue_mask);
    p.width = attributes.width;
    p.height = attributes.height;
    p.pixels.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned long px = XGetPixel(image, x, y);
            p.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)] =
                Rgb(static_cast<std::uint32_t>((px & v->red_mask) >> rs),
                    static_cast<std::uint32_t>((px & v->green_mask) >> gs),
                    static_cast<std::uint32_t>((px & v->blue_mask) >> bs));
        }
    }
    XDestroyImage(image);
    return p;
}

bool ReadPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    picture.width = static_cast<std::int32_t>(image.width);
    picture.height = static_cast<std::int32_t>(image.height);
    picture.pixels.resize(rgb.size() / 3);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return true;
}

bool WritePng(const Picture& picture, const std::string& path) {
    SoftCanvas canvas(picture.width, picture.height);
    for (std::int32_t y = 0; y < picture.height; ++y)
        for (std::int32_t x = 0; x < picture.width; ++x) canvas.SetPixel(x, y, picture.At(x, y));
    std::string error;
    return simtool::WritePng(canvas, path, error);
}

long long DifferentPixels(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long long n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

long long LitPixels(const Picture& picture) {
    long long n = 0;
    for (ColorRef c : picture.pixels) n += c != kBlack;
    return n;
}

long long BallsShown(const Picture& picture, std::int32_t radius) {
    SoftCanvas one(2 * radius + 2, 2 * radius + 2);
    const auto pen = one.CreateSolidPen(1, kWhite);
    const auto brush = one.CreateSolidBrush(kWhite);
    one.Ellipse(Rect{1, 1, 1 + 2 * radius, 1 + 2 * radius}, *pen, *brush);
    long long area = 0;
    for (ColorRef c : one.Pixels()) area += c != kBlack;
    return std::llround(static_cast<double>(LitPixels(picture)) / static_cast<double>(area));
}

Window MakeWindow(Display* display, int width, int height) {
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                              BlackPixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    WaitUntil(
        [&] {
            XWindowAttributes a{};
            return XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable;
        },
        10);
    return window;
}

std::string Hex(unsigned long id) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

std::string ShotPath(const std::string& name) {
    mkdir(VELLORA_SHOTS_DIR, 0755);
    return std::string(VELLORA_SHOTS_DIR) + "/" + name;
}

void Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::ofstream(ShotPath("timings.txt"), std::ios::app) << line << "\n";
}

}  // namespace vellora::xtest
