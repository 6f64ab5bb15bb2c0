// GoogleTest's customisation point, found before its own empty one. The toolchain's win32 thread
// model has no std::mutex or std::condition_variable, which GoogleTest's Notification (used only
// by its own thread tests) is built on; this one waits on an atomic flag instead.
#pragma once

#include <atomic>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : notified_(false) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
