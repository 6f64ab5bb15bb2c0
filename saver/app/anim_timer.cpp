#include "saver/app/anim_timer.h"

#include <process.h>

#include <memory>

#include "win/handles.h"

namespace vellora::win {

namespace {

// One record per running timer. The stop and the worker each hold a reference; whichever lets go
// last frees it, so a worker that is still inside a send when the stop gives up waiting finds its
// record intact when the send returns.
struct AnimTimerData {
    HWND targetWindow = nullptr;
    UINT timerId = 0;
    CriticalSection runLock;
    BOOL runFlag = FALSE;
    KernelHandle wakeEvent;
    unsigned threadId = 0;
    KernelHandle threadHandle;
    UINT periodMs = 0;
    LONG references = 2;
};

void Release(AnimTimerData* data) {
    if (InterlockedDecrement(&data->references) == 0) delete data;
}

BOOL IsRunning(AnimTimerData& data) {
    Lock lock(data.runLock);
    return data.runFlag;
}

// The registration is touched by the window's thread (start, stop) and by the worker (its end),
// so the property and its cell change only under this lock. Made before the program starts, it
// needs no guarded first use (nor the C++ library's guard and its exceptions).
CriticalSection registrationSection;

using Cell = AnimTimerData*;

bool Attach(HWND hwnd, AnimTimerData* data) {
    Lock lock(registrationSection);
    auto* cell = static_cast<Cell*>(GetPropA(hwnd, kAnimTimerProperty));
    if (cell == nullptr) {
        cell = new Cell(nullptr);
        if (!SetPropA(hwnd, kAnimTimerProperty, cell)) {
            delete cell;
            return false;
        }
    }
    *cell = data;
    return true;
}

// The window's record with a reference taken for the caller, or null.
AnimTimerData* FindAndHold(HWND hwnd) {
    Lock lock(registrationSection);
    auto* cell = static_cast<Cell*>(GetPropA(hwnd, kAnimTimerProperty));
    if (cell == nullptr || *cell == nullptr) return nullptr;
    InterlockedIncrement(&(*cell)->references);
    return *cell;
}

// Removes the registration if it still names this record.
void Detach(HWND hwnd, const AnimTimerData* data) {
    Lock lock(registrationSection);
    auto* cell = static_cast<Cell*>(GetPropA(hwnd, kAnimTimerProperty));
    if (cell == nullptr || *cell != data) return;
    RemovePropA(hwnd, kAnimTimerProperty);
    delete cell;
}

unsigned __stdcall AnimTimerThread(void* argument) {
    auto* data = static_cast<AnimTimerData*>(argument);
    const HWND targetWindow = data->targetWindow;
    const UINT timerId = data->timerId;
    const UINT periodMs = data->periodMs;
    MSG msg;
    for (;;) {
        // The first peek also gives this thread its message queue.
        if (PeekMessageA(&msg, nullptr, 0, 0xFFFF, PM_REMOVE) && msg.message == WM_QUIT) break;
        const BOOL running = IsRunning(*data);
        // A stop that came before this thread had a queue could not post the quit message here,
        // so the cleared flag ends the loop as well.
        if (!running) break;
        const DWORD start = GetTickCount();
        SendMessageA(targetWindow, WM_TIMER, timerId, 0);
        const DWORD wait = AnimTimerWait(start, GetTickCount(), periodMs);
        if (wait == 0) {
            Sleep(0);
        } else if (WaitForSingleObject(data->wakeEvent.Get(), wait) == WAIT_OBJECT_0) {
            ResetEvent(data->wakeEvent.Get());
        }
    }
    Detach(targetWindow, data);
    Release(data);
    _endthreadex(0);
    return 0;
}

}  // namespace

UINT StartAnimTimer(HWND hwnd, UINT timerId, UINT periodMs, UINT reserved) {
    if (reserved != 0) return 0;
    if (hwnd == nullptr) return 0;
    if (AnimTimerData* existing = FindAndHold(hwnd)) {
        Release(existing);
        return 0;
    }
    auto data = std::make_unique<AnimTimerData>();
    data->wakeEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (data->wakeEvent.Get() == nullptr) return 0;
    data->targetWindow = hwnd;
    data->timerId = timerId;
    data->runFlag = TRUE;
    data->periodMs = periodMs;
    if (!Attach(hwnd, data.get())) return 0;
    unsigned threadId = 0;
    const uintptr_t thread = _beginthreadex(nullptr, 4096, &AnimTimerThread, data.get(), 0, &threadId);
    if (thread == 0) {
        Detach(hwnd, data.get());
        return 0;
    }
    // From here the worker and the stop share the record through its reference count.
    AnimTimerData* shared = data.release();
    shared->threadId = threadId;
    shared->threadHandle.Reset(reinterpret_cast<HANDLE>(thread));
    SetThreadPriority(shared->threadHandle.Get(), GetThreadPriority(GetCurrentThread()) - 1);
    return 1;
}

UINT StopAnimTimer(HWND hwnd, UINT timerId) {
    if (hwnd == nullptr) return 0;
    AnimTimerData* data = FindAndHold(hwnd);
    if (data == nullptr) return 1;
    if (timerId != data->timerId) {
        Release(data);
        return 0;
    }
    BOOL wasRunning;
    {
        Lock lock(data->runLock);
        wasRunning = data->runFlag;
        data->runFlag = FALSE;
    }
    if (!wasRunning) {
        // An earlier stop gave up waiting for this worker; it ends on its own.
        Release(data);
        return 1;
    }
    PostThreadMessageA(data->threadId, WM_QUIT, 0, 0);
    SetEvent(data->wakeEvent.Get());
    // Lets a worker that is blocked in its send right now deliver that tick and go on to its end.
    MSG msg;
    PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE);
    WaitForSingleObject(data->threadHandle.Get(), 2000);
    Release(data);  // the reference found above
    Release(data);  // the timer's own, held since the start
    return 1;
}

}  // namespace vellora::win
