// Command line of the headless simulator.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora::simtool {

struct SimOptions {
    Rect area{0, 0, 1024, 768};
    bool seedGiven = false;
    std::uint32_t seed = 0;
    std::uint64_t frames = 0;
    std::uint64_t dumpEvery = 0;  // 0: only the first and the last frame
    bool preview = false;
    std::vector<std::pair<std::string, std::int32_t>> settings;  // as the store would hold them
    std::string pngDir;
    bool help = false;
};

// Fills options from argv[1..]; on a bad argument returns false with a one-line message in error.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

const char* SimUsage();

// The text with every control character written as an escape (\n, \x1b), so that a message
// quoting it stays on one line.
std::string OneLine(const std::string& text);

}  // namespace vellora::simtool
