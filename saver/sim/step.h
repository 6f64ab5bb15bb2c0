// One frame of the world: sparks age, balls move and bounce off the edges, then pairs collide.
#pragma once

#include "saver/sim/geometry.h"

namespace vellora {

class Ball;
struct Simulation;

void MoveBall(Ball& ball, double accelY, const Rect& area);
void StepWorld(Simulation& sim, const Rect& area);

}  // namespace vellora
