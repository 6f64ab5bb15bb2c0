// Building a scene: settings (or the fixed preview values), palette, grid, spark ring and balls.
#pragma once

#include <cstdint>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora {

class Profile;
struct Simulation;

// Rebuilds the world for the drawing area (left and top 0). The preview flag counts only on the
// first call of a simulation's life. Reads the stored settings afresh every time.
bool SetupWorld(Simulation& sim, const Profile& profile, const Rect& area, bool preview);

// Deletes the balls in array order and releases the palette.
void TeardownWorld(Simulation& sim);

// The palette of n entries from red through grey to green.
std::vector<ColorRef> BuildPalette(std::int32_t n);

}  // namespace vellora
