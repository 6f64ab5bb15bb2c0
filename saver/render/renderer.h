// Drawing one frame: dirty rectangles through a back buffer, sparks straight onto the target.
#pragma once

#include <cstdint>

namespace vellora {

class Ball;
class Canvas;
struct Simulation;

void RenderFrame(Simulation& sim, Canvas& target);
// Draws the ball (unless it is dead) and rewrites its bounds.
void DrawBall(Ball& ball, std::int32_t game, Canvas& canvas);

}  // namespace vellora
