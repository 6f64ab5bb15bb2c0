// A hook library that counts the WM_TIMER messages a window procedure receives, for
// vellora_win_bench to count the frames of a saver running in another process without touching
// the saver: the bench hooks the saver's window thread with it (WH_CALLWNDPROC), the system loads
// it into the saver, and the count lives in a named shared mapping that the bench reads.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "bench/win/tick_counter.h"

namespace {

volatile LONG* g_ticks = nullptr;

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CountTicks(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_TIMER) {
        if (g_ticks == nullptr) {
            // Opened once and kept until the process ends; the bench made the mapping first.
            if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, vellora::bench::kTickCounterMapping)) {
                g_ticks = static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
            }
        }
        if (g_ticks != nullptr) InterlockedIncrement(g_ticks);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
