// The hack's run: connect, find or make the window, and run frames as the Windows saver's window
// does until a signal, the window manager, the window's end, a lost connection or --frames ends it.
#pragma once

#include "saver/x11/hack_options.h"

namespace vellora::hack {

// The process's exit status: 0 for a run that ended as asked, 1 when it could not start.
// A lost connection to the X server ends the process at once with status 1.
int RunHack(const HackOptions& options);

}  // namespace vellora::hack
