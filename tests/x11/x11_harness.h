// What the X11 tests share: an Xvfb of their own, child processes with their output in files,
// waiting on conditions, and pictures of windows (grabbed, read from PNG, written, compared).
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora::xtest {

// Waits until done() holds, checking every few milliseconds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& done, double seconds);

// A fresh directory for one test's files, removed with everything in it at the end.
class TempDir {
public:
    explicit TempDir(const std::string& stem);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// A child process. Its standard output and error go to files; env holds "NAME=value" to set and
// "NAME" to unset. The destructor kills and reaps a child that is still running.
class Process {
public:
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& outPath,
            const std::string& errPath);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }
    void Signal(int signal) const;
    // Reaps the child when it has ended, waiting at most seconds; false while it still runs.
    bool Wait(double seconds);
    bool Running();
    // The raw wait status, valid after Wait returned true.
    int WaitStatus() const { return status_; }
    bool ExitedWith(int code) const;
    std::string Out() const { return ReadFile(outPath_); }
    std::string Err() const { return ReadFile(errPath_); }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::string outPath_, errPath_;
};

// Runs a command to its end (at most 60 s) and returns its exit code, -1 if it did not exit.
int RunToEnd(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& dir,
             std::string* out = nullptr, std::string* err = nullptr);

// An Xvfb on a display number of its own choosing, with one screen of the given size.
class XServer {
public:
    XServer(int width, int height);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Ok() const { return display_ != nullptr; }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }
    // The tests' own connection.
    Display* Dpy() const { return display_; }
    // Ends the server, and with it every connection (ours first: Dpy() is null afterwards).
    void Kill();

private:
    pid_t pid_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// A window's pixels as the saver's colours (0x00BBGGRR).
struct Picture {
    std::int32_t width = 0, height = 0;
    std::vector<ColorRef> pixels;
    ColorRef At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

Picture Grab(Display* display, Window window);
bool ReadPng(const std::string& path, Picture& picture);
bool WritePng(const Picture& picture, const std::string& path);
// Pixels that differ; the sizes must match (else -1).
long long DifferentPixels(const Picture& a, const Picture& b);
long long LitPixels(const Picture& picture);
// The balls a picture shows, from its lit area: the balls of one radius do not overlap, so the
// area divided by one ball's area, as the saver draws it, is their number.
long long BallsShown(const Picture& picture, std::int32_t radius);

// A black, mapped top-level window of the given size.
Window MakeWindow(Display* display, int width, int height);
std::string Hex(unsigned long id);

// Where the tests leave their screenshots.
std::string ShotPath(const std::string& name);
// Appends one line to the report of timings that scripts/test prints.
void Report(const std::string& line);

}  // namespace vellora::xtest
