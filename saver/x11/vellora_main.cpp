// vellora: the saver for X11, as an XScreenSaver hack or in a window of its own.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "saver/x11/hack_options.h"
#include "saver/x11/hack_run.h"

int main(int argc, char** argv) {
    using namespace vellora::hack;
    HackOptions options;
    std::string error;
    if (!ParseHackOptions(argc, argv, options, error) ||
        !ResolveTarget(options, std::getenv("XSCREENSAVER_WINDOW"), error)) {
        std::fprintf(stderr, "vellora: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(HackUsage().c_str(), stdout);
        return 0;
    }
    return RunHack(options);
}
