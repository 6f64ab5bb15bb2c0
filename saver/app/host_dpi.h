// The saver declares per-monitor DPI awareness, so its own windows work in device pixels. A
// preview lives inside another program's window, which may be scaled by the system; the preview
// then takes on its host's awareness, so that the host's client rectangle and the child placed in
// it are measured in the same pixels.
#pragma once

#include "win/win32.h"

namespace vellora {

// Gives this thread the DPI awareness of host's window. Nothing on systems before Windows 10
// version 1607, where awareness is the process's alone.
void AdoptDpiAwarenessOf(HWND host);

}  // namespace vellora
