// Whether a window handle from the command line names a window the preview may live in.
#pragma once

#include "win/win32.h"

namespace vellora {

// True for a live window of this desktop's window tree other than the desktop window itself: a
// child made inside it shows on this desktop and ends with it. The desktop window would make the
// preview a full-screen window that no input ends; a message-only window or a window of another
// desktop can hold no child the user sees.
bool IsPreviewHost(HWND hwnd);

}  // namespace vellora
