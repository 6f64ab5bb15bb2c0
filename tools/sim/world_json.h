// One line of JSON describing a simulation's state after a given frame.
#pragma once

#include <cstdint>
#include <string>

#include "saver/sim/geometry.h"

namespace vellora {
struct Simulation;
}

namespace vellora::simtool {

// Doubles are written with 17 significant digits, so they read back exactly.
std::string WorldToJson(const Simulation& sim, const Rect& area, std::uint64_t frame);

}  // namespace vellora::simtool
