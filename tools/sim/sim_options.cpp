#include "tools/sim/sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "saver/config/settings.h"

namespace vellora::simtool {

namespace {

bool ParseInt64(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty() || text.size() > 20) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    // strtoll accepts leading blanks and '+'; the tool takes plain decimal numbers only.
    if (text[0] != '-' && (text[0] < '0' || text[0] > '9')) return false;
    out = v;
    return true;
}

bool ParseSize(const std::string& text, Rect& area) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    long long w = 0, h = 0;
    if (!ParseInt64(text.substr(0, x), 1, 1 << 16, w) || !ParseInt64(text.substr(x + 1), 1, 1 << 16, h)) return false;
    area = Rect{0, 0, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
    return true;
}

}  // namespace

const char* SimUsage() {
    return "usage: vellora-sim [--size WxH] [--seed N] [--frames N] [--preview] [--set Key=Value]...\n"
           "                   [--dump-every K] [--png DIR]\n"
           "Sets a world up as the saver does and runs N frames as its window's timer does, printing\n"
           "one JSON object per line for frame 0, every K-th frame and the last frame.\n"
           "  --size WxH       drawing area (client rectangle 0, 0, W, H); default 1024x768\n"
           "  --seed N         seeds the generator (0 to 4294967295); default: the clock\n"
           "  --frames N       frames to run after setup; default 0\n"
           "  --preview        set the world up in preview mode\n"
           "  --set Key=Value  a stored setting (NumBalls, Velocity, BallSize, Colors, Gravity,\n"
           "                   ScenarioCounter, RefreshRate, BallSizeSel, Game, Sparks), repeatable\n"
           "  --dump-every K   also print every K-th frame\n"
           "  --png DIR        also draw the window and write it as DIR/frame-NNNNNN.png for every\n"
           "                   printed frame (DIR is created); frame 0 is the black window before\n"
           "                   the first tick draws anything\n";
}

std::string OneLine(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7F) {
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

namespace {

bool ParseArguments(int argc, const char* const* argv, SimOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--preview") {
            o.preview = true;
        } else if (arg == "--size") {
            if (!value(v)) return false;
            if (!ParseSize(v, o.area)) {
                error = "--size takes WxH with W and H from 1 to 65536, not '" + v + "'";
                return false;
            }
        } else if (arg == "--seed") {
            if (!value(v)) return false;
            if (!ParseInt64(v, 0, std::numeric_limits<std::uint32_t>::max(), n)) {
                error = "--seed takes a number from 0 to 4294967295, not '" + v + "'";
                return false;
            }
            o.seed = static_cast<std::uint32_t>(n);
            o.seedGiven = true;
        } else if (arg == "--frames" || arg == "--dump-every") {
            if (!value(v)) return false;
            if (!ParseInt64(v, arg == "--frames" ? 0 : 1, std::numeric_limits<long long>::max(), n)) {
                error = arg + (arg == "--frames" ? " takes a whole number >= 0" : " takes a whole number >= 1") +
                        ", not '" + v + "'";
                return false;
            }
            (arg == "--frames" ? o.frames : o.dumpEvery) = static_cast<std::uint64_t>(n);
        } else if (arg == "--set") {
            if (!value(v)) return false;
            const auto eq = v.find('=');
            if (eq == std::string::npos) {
                error = "--set takes Key=Value, not '" + v + "'";
                return false;
            }
            const std::string key = v.substr(0, eq), text = v.substr(eq + 1);
            if (!FindSetting(key)) {
                error = "--set: unknown setting '" + key + "'";
                return false;
            }
            if (!ParseInt64(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), n)) {
                error = "--set " + key + ": '" + text + "' is not a 32-bit integer";
                return false;
            }
            o.settings.emplace_back(key, static_cast<std::int32_t>(n));
        } else if (arg == "--png") {
            if (!value(v)) return false;
            if (v.empty()) {
                error = "--png needs a directory";
                return false;
            }
            o.pngDir = v;
        } else {
            error = "unknown argument '" + arg + "' (see --help)";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    if (ParseArguments(argc, argv, options, error)) return true;
    // The message quotes what was given, which may hold line breaks or other control characters.
    error = OneLine(error);
    return false;
}

}  // namespace vellora::simtool
