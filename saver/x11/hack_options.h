// The command line of `vellora`, the saver as an XScreenSaver hack: where to draw (the hack
// contract every XScreenSaver hack follows) and the ten stored settings as options named after
// the options dialog's controls. Portable: parsing only, no X.
#pragma once

#include <cstdint>
#include <string>

#include "saver/config/settings.h"

namespace vellora::hack {

enum class Target {
    OwnWindow,  // --window, the default: a window of its own
    Root,       // --root: the root window, or $XSCREENSAVER_WINDOW when that is set
    WindowId,   // --window-id ID, or --root with $XSCREENSAVER_WINDOW
};

struct HackOptions {
    Target target = Target::OwnWindow;
    std::uint32_t windowId = 0;  // for Target::WindowId
    std::string display;         // empty: $DISPLAY
    // As the store would hold them: the key table's defaults, and values outside the dialog's
    // ranges kept as given (world setup holds them as it holds stored values).
    StoredSettings settings;
    bool seedGiven = false;
    std::uint32_t seed = 0;
    bool framesGiven = false;
    std::uint64_t frames = 0;  // stop after this many frames
    bool verbose = false;
    bool help = false;
};

// One entry of a list setting: the name an option takes and the dialog's text for it.
struct Choice {
    const char* name;
    const char* label;
};

// A stored setting as an option: the option's name, and the dialog control it stands for.
struct SettingOption {
    const char* name;   // "count" for --count
    Setting setting;
    const char* label;  // the control's label in the options dialog: "Number"
    const char* help;   // what the value means, for --help
    const Choice* choices;  // for the three lists, in index order (the index is the stored value)
    int choiceCount;
};

// The ten, in the key table's order.
const SettingOption (&SettingOptions())[kSettingCount];

// Reads argv[1..]. Every option takes one or two leading dashes ("-root", "--root") and its value
// as the next argument or after '=' ("--count=30"). On a bad argument returns false with a
// one-line message in error.
bool ParseHackOptions(int argc, const char* const* argv, HackOptions& options, std::string& error);

// With --root, $XSCREENSAVER_WINDOW (null when unset) names the window to draw on. False with a
// one-line message when it is set but names no window.
bool ResolveTarget(HackOptions& options, const char* xscreensaverWindow, std::string& error);

// A window id as XScreenSaver and users write it: decimal, or hexadecimal after "0x"; never 0.
bool ParseWindowId(const std::string& text, std::uint32_t& id);

// The frame period in milliseconds: the stored "RefreshRate" (held in its safe range) + 1.
std::int32_t FramePeriodMs(const StoredSettings& settings);

std::string HackUsage();

// The description xscreensaver-settings reads to show the options: sliders and lists that write
// the options above.
std::string XScreenSaverConfigXml();

}  // namespace vellora::hack
