// X protocol errors arrive asynchronously and Xlib's default handler ends the process on any of
// them. The hack counts them instead: a failed shared-memory attach falls back to plain images,
// and an error on the window being drawn (it was destroyed under the hack) ends the run.
#pragma once

#include <X11/Xlib.h>

namespace vellora::hack {

struct XErrorLog {
    unsigned long count = 0;
    unsigned char lastCode = 0;
    XID lastResource = 0;
};

// Installs the counting handler for every display of the process.
void InstallXErrorLog();
const XErrorLog& Errors();

// The errors that came back for the requests sent so far (waits for the server).
unsigned long SyncAndCountErrors(Display* display);

}  // namespace vellora::hack
