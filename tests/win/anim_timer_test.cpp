// The animation timer on real windows: return codes, tick contents, periods with quick and slow
// handlers, and stopping while the worker is inside a send.
#include "saver/app/anim_timer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "test_support.h"

using vellora::win::AnimTimerWait;
using vellora::win::kAnimTimerProperty;
using vellora::win::StartAnimTimer;
using vellora::win::StopAnimTimer;

namespace {

struct Tick {
    double startMs;
    double endMs;
    WPARAM id;
    LPARAM lParam;
    bool duringStop;
};

// A hidden window that logs every WM_TIMER and can take a while over each.
class TickWindow {
public:
    explicit TickWindow(DWORD handlerMs = 0)
        : handlerMs_(handlerMs),
          window_([this](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
              if (message != WM_TIMER) return false;
              Tick tick{vtest::NowMs(), 0, wParam, lParam, inStop};
              if (handlerMs_ > 0) Sleep(handlerMs_);
              tick.endMs = vtest::NowMs();
              ticks.push_back(tick);
              result = 0;
              return true;
          },
                  WS_POPUP) {}
    ~TickWindow() {
        StopAnimTimer(Handle(), timerIdToStop);
    }
    HWND Handle() const { return window_.Handle(); }
    bool WaitForTicks(size_t n, DWORD timeoutMs = 5000) {
        return vtest::PumpUntil([&] { return ticks.size() >= n; }, timeoutMs);
    }

    std::vector<Tick> ticks;
    bool inStop = false;
    UINT timerIdToStop = 1;

private:
    DWORD handlerMs_;
    vtest::TestWindow window_;
};

struct PeriodStats {
    double meanStartToStart = 0;
    double minStartToStart = 1e9;
    double maxStartToStart = 0;
    double meanEndToStart = 0;
};

PeriodStats Measure(const std::vector<Tick>& ticks, size_t skip) {
    PeriodStats stats;
    size_t n = 0;
    for (size_t i = skip + 1; i < ticks.size(); ++i, ++n) {
        const double period = ticks[i].startMs - ticks[i - 1].startMs;
        stats.meanStartToStart += period;
        stats.meanEndToStart += ticks[i].startMs - ticks[i - 1].endMs;
        if (period < stats.minStartToStart) stats.minStartToStart = period;
        if (period > stats.maxStartToStart) stats.maxStartToStart = period;
    }
    if (n > 0) {
        stats.meanStartToStart /= n;
        stats.meanEndToStart /= n;
    }
    return stats;
}

}  // namespace

TEST(AnimTimerWait, KeepsThePeriodFromTickStartToTickStartAcrossTheWrap) {
    struct Case {
        std::uint32_t start, now, period, wait;
    } cases[] = {
        {1000, 1005, 21, 16},              // a quick tick waits out the rest of the period
        {1000, 1030, 21, 0},               // a slow tick: the next one is due at once
        {1000, 1021, 21, 0},               // exactly one period: due
        {1000, 1000, 2, 2},                // no time spent
        {0xFFFFFFF0u, 0xFFFFFFF5u, 21, 16},
        {0xFFFFFFFBu, 0x00000005u, 21, 11},  // the count wrapped: 10 ms elapsed, not 4 billion
        {0xFFFFFFFBu, 0x00000010u, 21, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnimTimerWait(c.start, c.now, c.period), c.wait) << c.start << " -> " << c.now;
    }
}

TEST(AnimTimer, StartAndStopReturnCodes) {
    TickWindow window;
    HWND hwnd = window.Handle();
    EXPECT_EQ(StartAnimTimer(hwnd, 1, 10, 1), 0u) << "reserved must be 0";
    EXPECT_EQ(StartAnimTimer(nullptr, 1, 10, 0), 0u);
    EXPECT_EQ(StopAnimTimer(nullptr, 1), 0u);
    EXPECT_EQ(StopAnimTimer(hwnd, 1), 1u) << "a window without a timer";
    EXPECT_EQ(GetPropA(hwnd, kAnimTimerProperty), nullptr) << "a refused start registers nothing";

    ASSERT_EQ(StartAnimTimer(hwnd, 1, 10, 0), 1u);
    EXPECT_NE(GetPropA(hwnd, kAnimTimerProperty), nullptr);
    EXPECT_EQ(StartAnimTimer(hwnd, 1, 10, 0), 0u) << "a second timer on the same window";
    EXPECT_EQ(StartAnimTimer(hwnd, 2, 10, 0), 0u);
    ASSERT_TRUE(window.WaitForTicks(3)) << "the first timer keeps running";

    EXPECT_EQ(StopAnimTimer(hwnd, 1), 1u);
    EXPECT_EQ(GetPropA(hwnd, kAnimTimerProperty), nullptr) << "the worker removes the registration as it ends";
    EXPECT_EQ(StopAnimTimer(hwnd, 1), 1u) << "stopping twice";

    // Stop then start, as the frame timer's restart does.
    ASSERT_EQ(StartAnimTimer(hwnd, 1, 10, 0), 1u);
    const size_t before = window.ticks.size();
    ASSERT_TRUE(window.WaitForTicks(before + 2));
    EXPECT_EQ(StopAnimTimer(hwnd, 1), 1u);
}

TEST(AnimTimer, TicksAreTimerMessagesWithTheTimerId) {
    TickWindow window;
    window.timerIdToStop = 7;
    ASSERT_EQ(StartAnimTimer(window.Handle(), 7, 5, 0), 1u);
    ASSERT_TRUE(window.WaitForTicks(5));
    for (const Tick& tick : window.ticks) {
        EXPECT_EQ(tick.id, 7u);
        EXPECT_EQ(tick.lParam, 0);
    }
}

TEST(AnimTimer, StopWithAnotherIdIsRefusedAndTheTicksGoOn) {
    TickWindow window;
    window.timerIdToStop = 7;
    ASSERT_EQ(StartAnimTimer(window.Handle(), 7, 5, 0), 1u);
    ASSERT_TRUE(window.WaitForTicks(2));
    EXPECT_EQ(StopAnimTimer(window.Handle(), 8), 0u);
    EXPECT_NE(GetPropA(window.Handle(), kAnimTimerProperty), nullptr);
    const size_t before = window.ticks.size();
    EXPECT_TRUE(window.WaitForTicks(before + 5));
    EXPECT_EQ(StopAnimTimer(window.Handle(), 7), 1u);
    const size_t atStop = window.ticks.size();
    vtest::PumpFor(100);
    EXPECT_EQ(window.ticks.size(), atStop) << "no tick after the stop";
}

TEST(AnimTimer, PeriodsWithQuickAndSlowHandlers) {
    struct Case {
        DWORD handlerMs;
    } cases[] = {{5}, {30}};
    for (const Case& c : cases) {
        TickWindow window(c.handlerMs);
        ASSERT_EQ(StartAnimTimer(window.Handle(), 1, 21, 0), 1u);
        ASSERT_TRUE(window.WaitForTicks(42, 10000));
        StopAnimTimer(window.Handle(), 1);
        const PeriodStats stats = Measure(window.ticks, 2);
        std::printf("[ timing ] period 21 ms, handler %lu ms: start-to-start mean %.2f ms (min %.2f, max %.2f), "
                    "end-to-next-start mean %.2f ms over %zu ticks\n",
                    static_cast<unsigned long>(c.handlerMs), stats.meanStartToStart, stats.minStartToStart,
                    stats.maxStartToStart, stats.meanEndToStart, window.ticks.size() - 3);
        if (c.handlerMs < 21) {
            // The period holds from start to start: the handler's time is not added to it.
            EXPECT_GT(stats.meanStartToStart, 15.0);
            EXPECT_LT(stats.meanStartToStart, 21.0 + c.handlerMs - 1.0 + 10.0);
        } else {
            // A late tick is followed by the next one at once, never by a backlog.
            EXPECT_GT(stats.meanStartToStart, c.handlerMs - 1.0);
            EXPECT_LT(stats.meanEndToStart, 10.0);
        }
    }
}

TEST(AnimTimer, StopWhileTheWorkerIsInsideItsSendDeliversThatTick) {
    TickWindow window;
    ASSERT_EQ(StartAnimTimer(window.Handle(), 1, 10, 0), 1u);
    ASSERT_TRUE(window.WaitForTicks(1));
    // Not pumping: the worker's next send blocks until this thread looks at its messages.
    Sleep(100);
    const size_t before = window.ticks.size();
    window.inStop = true;
    const double start = vtest::NowMs();
    EXPECT_EQ(StopAnimTimer(window.Handle(), 1), 1u);
    const double took = vtest::NowMs() - start;
    window.inStop = false;
    std::printf("[ timing ] stop during a send took %.2f ms\n", took);
    ASSERT_EQ(window.ticks.size(), before + 1) << "the pending tick runs inside the stop";
    EXPECT_TRUE(window.ticks.back().duringStop);
    EXPECT_LT(took, 1500.0) << "the worker ends well within the stop's 2,000 ms wait";
    EXPECT_EQ(GetPropA(window.Handle(), kAnimTimerProperty), nullptr);
    vtest::PumpFor(60);
    EXPECT_EQ(window.ticks.size(), before + 1);
}

TEST(AnimTimer, StopRightAfterStartEndsAWorkerThatHasNoQueueYet) {
    for (int round = 0; round < 20; ++round) {
        TickWindow window;
        ASSERT_EQ(StartAnimTimer(window.Handle(), 1, 10, 0), 1u);
        const double start = vtest::NowMs();
        EXPECT_EQ(StopAnimTimer(window.Handle(), 1), 1u);
        const double took = vtest::NowMs() - start;
        EXPECT_LT(took, 1500.0) << "round " << round;
        EXPECT_EQ(GetPropA(window.Handle(), kAnimTimerProperty), nullptr) << "round " << round;
    }
}

namespace {

// A window on a thread of its own that stops looking at its messages for a while, so that a stop
// made from another thread cannot have the pending tick delivered and gives up its wait.
struct StalledOwner {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND hwnd = nullptr;
    int ticks = 0;
    int ticksAfterStall = 0;
    bool registeredAfterStall = true;

    static DWORD WINAPI Run(void* argument) {
        auto* self = static_cast<StalledOwner*>(argument);
        vtest::TestWindow window([self](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != WM_TIMER) return false;
            ++self->ticks;
            result = 0;
            return true;
        });
        self->hwnd = window.Handle();
        StartAnimTimer(self->hwnd, 1, 10, 0);
        vtest::PumpUntil([self] { return self->ticks > 0; }, 5000);
        SetEvent(self->ready);
        Sleep(2600);  // the worker's next send waits here, past the stop's 2,000 ms
        const int before = self->ticks;
        vtest::PumpFor(300);
        self->ticksAfterStall = self->ticks - before;
        self->registeredAfterStall = GetPropA(self->hwnd, kAnimTimerProperty) != nullptr;
        return 0;
    }
};

}  // namespace

TEST(AnimTimer, AWorkerThatOutlivesTheStopsWaitStillFindsItsRecord) {
    StalledOwner owner;
    HANDLE thread = CreateThread(nullptr, 0, &StalledOwner::Run, &owner, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(owner.ready, 5000), WAIT_OBJECT_0);
    Sleep(50);
    const double start = vtest::NowMs();
    EXPECT_EQ(StopAnimTimer(owner.hwnd, 1), 1u);
    const double took = vtest::NowMs() - start;
    std::printf("[ timing ] stop whose tick could not be delivered gave up after %.0f ms\n", took);
    EXPECT_GT(took, 1000.0) << "the stop waited for the worker";
    EXPECT_EQ(StopAnimTimer(owner.hwnd, 1), 1u) << "a second stop of a timer that is ending";
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(owner.ready);
    EXPECT_EQ(owner.ticksAfterStall, 1) << "the late tick arrives once, then the worker ends";
    EXPECT_FALSE(owner.registeredAfterStall) << "the worker removed its registration as it ended";
}
