#include "saver/x11/hack_options.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace vellora::hack {

namespace {

constexpr Choice kSizeChoices[] = {{"constant", "Constant"}, {"mixed", "Mixed"}, {"whatever", "Whatever"}};
constexpr Choice kScenarioChoices[] = {
    {"just-bounce", "Just Bounce"},       {"solo-good-vs-evil", "Solo Good vs. Evil"},
    {"good-vs-evil", "Good vs. Evil"},    {"decay-vs-health", "Decay vs. Health"},
    {"decay", "Decay"},                   {"all-decay", "All Decay"},
    {"random", "Random Scenario"},
};
constexpr Choice kSparkChoices[] = {{"no", "No"}, {"yes", "Yes"}, {"whatever", "Whatever"}};

template <std::size_t N>
constexpr int CountOf(const Choice (&)[N]) {
    return static_cast<int>(N);
}

constexpr SettingOption kOptions[kSettingCount] = {
    {"count", Setting::NumBalls, "Number", "balls in a scene", nullptr, 0},
    {"velocity", Setting::Velocity, "Max. Vel.", "spread of the starting velocities, pixels per frame", nullptr, 0},
    {"radius", Setting::BallSize, "Radius", "ball radius in pixels", nullptr, 0},
    {"degrees", Setting::Colors, "Degrees", "colour degrees", nullptr, 0},
    {"gravity", Setting::Gravity, "Gravity", "downward acceleration in 0.05 pixel per frame per frame", nullptr, 0},
    {"scene-duration", Setting::ScenarioCounter, "Scene Duration", "scene length in units of 600 frames", nullptr, 0},
    {"refresh-rate", Setting::RefreshRate, "Refresh Rate", "frame period in milliseconds, less one", nullptr, 0},
    {"size", Setting::BallSizeSel, "Size", "ball sizes", kSizeChoices, CountOf(kSizeChoices)},
    {"scenario", Setting::Game, "Which Scenario", "the scenario", kScenarioChoices, CountOf(kScenarioChoices)},
    {"sparks", Setting::Sparks, "Sparks", "sparks on collisions", kSparkChoices, CountOf(kSparkChoices)},
};

// Plain decimal: an optional '-' and digits, nothing else (strtoll alone would take blanks and '+').
bool ParseDecimal(const std::string& text, long long lo, long long hi, long long& out) {
    const std::size_t digits = text[0] == '-' ? 1 : 0;
    if (text.size() <= digits || text.size() > 20) return false;
    for (std::size_t i = digits; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseCount(const std::string& text, std::uint64_t& out) {
    if (text.empty() || text.size() > 19) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    out = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return i == a.size() && b[i] == '\0';
}

// A list setting takes an entry's name or the dialog's text for it, or any number as the store
// would hold it.
bool ParseChoice(const SettingOption& option, const std::string& text, std::int32_t& out) {
    for (int i = 0; i < option.choiceCount; ++i) {
        if (SameIgnoringCase(text, option.choices[i].name) || SameIgnoringCase(text, option.choices[i].label)) {
            out = i;
            return true;
        }
    }
    long long v = 0;
    if (!ParseDecimal(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v))
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

std::string ChoiceNames(const SettingOption& option) {
    std::string names;
    for (int i = 0; i < option.choiceCount; ++i) names += std::string(option.choices[i].name) + ", ";
    return names;
}

std::string Range(const SettingDef& def) {
    return std::to_string(def.dialogMin) + " to " + std::to_string(def.dialogMax);
}

const SettingOption* FindOption(const std::string& name) {
    for (const SettingOption& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

}  // namespace

const SettingOption (&SettingOptions())[kSettingCount] { return kOptions; }

bool ParseWindowId(const std::string& text, std::uint32_t& id) {
    unsigned long long v = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 10) return false;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = Lower(text[i]);
            const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
            if (digit < 0) return false;
            v = v * 16 + static_cast<unsigned>(digit);
        }
    } else {
        long long d = 0;
        if (text.empty() || text[0] == '-' || !ParseDecimal(text, 0, std::numeric_limits<std::uint32_t>::max(), d))
            return false;
        v = static_cast<unsigned long long>(d);
    }
    if (v == 0) return false;
    id = static_cast<std::uint32_t>(v);
    return true;
}

bool ParseHackOptions(int argc, const char* const* argv, HackOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // "-name" and "--name" alike, as XScreenSaver passes the first and users type the second.
        const std::size_t dashes = arg.compare(0, 2, "--") == 0 ? 2 : arg.compare(0, 1, "-") == 0 ? 1 : 0;
        std::string name = arg.substr(dashes);
        if (dashes == 0 || name.empty()) {
            error = "unexpected argument '" + arg + "' (see --help)";
            return false;
        }
        bool inlineValue = false;
        std::string value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = true;
            value = name.substr(eq + 1);
            name.erase(eq);
        }
        const std::string shown = "--" + name;
        auto flag = [&]() {
            if (inlineValue) error = shown + " takes no value";
            return !inlineValue;
        };
        auto takeValue = [&]() {
            if (inlineValue) return true;
            if (i + 1 >= argc) {
                error = shown + " needs a value";
                return false;
            }
            value = argv[++i];
            return true;
        };

        if (name == "help" || name == "h") {
            if (!flag()) return false;
            o.help = true;
        } else if (name == "window" || name == "root") {
            if (!flag()) return false;
            o.target = name == "root" ? Target::Root : Target::OwnWindow;
        } else if (name == "verbose") {
            if (!flag()) return false;
            o.verbose = true;
        } else if (name == "window-id") {
            if (!takeValue()) return false;
            if (!ParseWindowId(value, o.windowId)) {
                error = shown + " takes a window id, decimal or hexadecimal after 0x, not '" + value + "'";
                return false;
            }
            o.target = Target::WindowId;
        } else if (name == "display") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = shown + " needs a display name";
                return false;
            }
            o.display = value;
        } else if (name == "seed") {
            long long v = 0;
            if (!takeValue()) return false;
            if (!ParseDecimal(value, 0, std::numeric_limits<std::uint32_t>::max(), v)) {
                error = shown + " takes a number from 0 to 4294967295, not '" + value + "'";
                return false;
            }
            o.seed = static_cast<std::uint32_t>(v);
            o.seedGiven = true;
        } else if (name == "frames") {
            if (!takeValue()) return false;
            if (!ParseCount(value, o.frames)) {
                error = shown + " takes a whole number of frames, not '" + value + "'";
                return false;
            }
            o.framesGiven = true;
        } else if (const SettingOption* option = FindOption(name)) {
            if (!takeValue()) return false;
            std::int32_t stored = 0;
            long long v = 0;
            if (option->choices) {
                if (!ParseChoice(*option, value, stored)) {
                    error = shown + " takes " + ChoiceNames(*option) + "or a number, not '" + value + "'";
                    return false;
                }
            } else if (ParseDecimal(value, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max(), v)) {
                stored = static_cast<std::int32_t>(v);
            } else {
                error = shown + " takes a whole number (" + Range(DefOf(option->setting)) + "), not '" + value + "'";
                return false;
            }
            o.settings.Set(option->setting, stored);
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    return true;
}

bool ResolveTarget(HackOptions& options, const char* xscreensaverWindow, std::string& error) {
    if (options.target != Target::Root || xscreensaverWindow == nullptr || *xscreensaverWindow == '\0') return true;
    if (!ParseWindowId(xscreensaverWindow, options.windowId)) {
        error = std::string("XSCREENSAVER_WINDOW names no window: '") + xscreensaverWindow + "'";
        return false;
    }
    options.target = Target::WindowId;
    return true;
}

std::int32_t FramePeriodMs(const StoredSettings& settings) {
    return ClampToSafe(Setting::RefreshRate, settings.Get(Setting::RefreshRate)) + 1;
}

std::string HackUsage() {
    std::string text =
        "usage: vellora [--window | --root | --window-id ID] [--display NAME] [options]\n"
        "Coloured balls under gravity, bouncing and throwing sparks: the Vellora screen saver for X11\n"
        "and XScreenSaver. Every option also takes one dash (-root) and its value after '=' (--count=30).\n"
        "  --window            draw in a window of its own (the default)\n"
        "  --root              draw on the root window, or on $XSCREENSAVER_WINDOW when that is set\n"
        "  --window-id ID      draw on the window ID (decimal, or hexadecimal after 0x)\n"
        "  --display NAME      the X display; default $DISPLAY\n"
        "The settings, as in the Windows options dialog (range of the dialog, default):\n";
    for (const SettingOption& option : kOptions) {
        const SettingDef& def = DefOf(option.setting);
        std::string line = "  --" + std::string(option.name) + (option.choices ? " NAME" : " N");
        line.resize(22, ' ');
        line += "\"" + std::string(option.label) + "\": " + option.help;
        if (option.choices) {
            line += ": ";
            for (int i = 0; i < option.choiceCount; ++i)
                line += std::string(i ? ", " : "") + option.choices[i].name + " (" + std::to_string(i) + ")";
            line += "; default " + std::string(option.choices[def.defaultValue].name);
        } else {
            line += ", " + Range(def) + "; default " + std::to_string(def.defaultValue);
        }
        text += line + "\n";
    }
    text +=
        "  Values outside a range are taken as the saver takes such stored values.\n"
        "  --seed N            seed the generator (0 to 4294967295); default: the clock\n"
        "  --frames N          stop after N frames; default: run until ended\n"
        "  --verbose           report the window, each new scene at a new size, and the frame times on stderr\n"
        "  --help              show this text\n"
        "SIGTERM, SIGINT and the window manager's close request end it.\n";
    return text;
}

}  // namespace vellora::hack
