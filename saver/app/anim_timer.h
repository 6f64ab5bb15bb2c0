// Frame ticks for a window without message-queue timers: a worker thread per window sends
// WM_TIMER (wParam = timer id, lParam 0) synchronously at a fixed period from tick start to tick
// start, so a slow frame is followed by the next at once and ticks never pile up.
#pragma once

#include <cstdint>

#include "win/framework.h"

namespace vellora::win {

// The window property that finds a window's timer record.
constexpr const char* kAnimTimerProperty = "PROP_ANIMTIMERDATA";

// 1 when a timer was started; 0 for a non-zero reserved argument, a null window, a window that
// already has a timer, or a failure to make the event or the thread.
UINT StartAnimTimer(HWND hwnd, UINT timerId, UINT periodMs, UINT reserved);

// 1 when the window's timer was stopped or it had none; 0 for a null window or another timer id,
// in which case the timer goes on. A tick the worker is sending may run inside this call.
UINT StopAnimTimer(HWND hwnd, UINT timerId);

// How long the worker waits after a tick that began at start and ended at now (tick counts in
// milliseconds, wrapping at 2^32): 0 means the tick took the whole period and the next is due.
constexpr std::uint32_t AnimTimerWait(std::uint32_t start, std::uint32_t now, std::uint32_t periodMs) {
    const std::uint32_t elapsed = now - start;
    return elapsed >= periodMs ? 0 : periodMs - elapsed;
}

}  // namespace vellora::win
