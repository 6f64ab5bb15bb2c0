// The narrow phase: new contacts between a ball and the lower-numbered balls of one cell.
#pragma once

#include "saver/sim/geometry.h"

namespace vellora {

class Ball;
struct GridCell;
struct Simulation;

void CollideBallWithCell(Simulation& sim, Ball& a, const GridCell& cell, const Rect& area);

}  // namespace vellora
