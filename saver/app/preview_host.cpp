#include "saver/app/preview_host.h"

namespace vellora {

bool IsPreviewHost(HWND hwnd) {
    if (hwnd == nullptr || !IsWindow(hwnd)) return false;
    const HWND desktop = GetDesktopWindow();
    if (hwnd == desktop) return false;
    // The top-level window the handle belongs to must sit directly on this thread's desktop
    // window; a message-only window sits on the message window, another desktop's on its own.
    const HWND topLevel = GetAncestor(hwnd, GA_ROOT);
    return topLevel != nullptr && GetAncestor(topLevel, GA_PARENT) == desktop;
}

}  // namespace vellora
