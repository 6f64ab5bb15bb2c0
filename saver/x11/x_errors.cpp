#include "saver/x11/x_errors.h"

namespace vellora::hack {

namespace {

// Xlib's error handler takes no context: the one log of the process.
XErrorLog g_log;

int RecordError(Display*, XErrorEvent* event) {
    ++g_log.count;
    g_log.lastCode = event->error_code;
    g_log.lastResource = event->resourceid;
    return 0;
}

}  // namespace

void InstallXErrorLog() { XSetErrorHandler(RecordError); }

const XErrorLog& Errors() { return g_log; }

unsigned long SyncAndCountErrors(Display* display) {
    XSync(display, False);
    return g_log.count;
}

}  // namespace vellora::hack
