#include "saver/app/host_dpi.h"

namespace vellora {

void AdoptDpiAwarenessOf(HWND host) {
    // Looked up at run time: older systems lack these, and a static import would keep the saver
    // from loading there at all.
    using Context = void*;
    using GetWindowContext = Context(WINAPI*)(HWND);
    using SetThreadContext = Context(WINAPI*)(Context);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return;
    const auto getWindowContext = reinterpret_cast<GetWindowContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto setThreadContext = reinterpret_cast<SetThreadContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    if (getWindowContext == nullptr || setThreadContext == nullptr) return;
    if (Context context = getWindowContext(host)) setThreadContext(context);
}

}  // namespace vellora
