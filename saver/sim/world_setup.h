// Building a scene: settings (or the fixed preview values), palette, grid, spark ring and balls.
#pragma once

#include <cstdint>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora {

class Ball;
class Profile;
class StoredSettings;
struct Simulation;

// Builds a scene: rebuilds the world for the drawing area (left and top 0) from the ten stored
// values. The preview flag counts only on the first call of a simulation's life. Every caller —
// the saver, the simulator, tests and benchmarks — builds its scenes through this.
bool SetupWorld(Simulation& sim, const StoredSettings& stored, const Rect& area, bool preview);
// The same with the values read afresh from the profile, as the saver does for every scene.
bool SetupWorld(Simulation& sim, const Profile& profile, const Rect& area, bool preview);

// Makes the next ball at (x, y), drawing its velocity and colour as world setup does, and files it
// in the grid. For scenes whose balls are placed by hand.
Ball& AddBall(Simulation& sim, double x, double y);

// The palette of n entries from red through grey to green.
std::vector<ColorRef> BuildPalette(std::int32_t n);

}  // namespace vellora
