// Drawing one frame: dirty rectangles through a back buffer, sparks straight onto the target.
#pragma once

#include <cstdint>

namespace vellora {

class Ball;
class Canvas;
class SparkRing;
struct Simulation;

// The width of a spark's dash, drawn and erased alike.
constexpr int kSparkPenWidth = 2;

void RenderFrame(Simulation& sim, Canvas& target);
// Draws the ball (unless it is dead) and rewrites its bounds.
void DrawBall(Ball& ball, std::int32_t game, Canvas& canvas);
// Black 2-pixel lines over each live spark's last dash.
void EraseSparks(const SparkRing& ring, Canvas& canvas);
// White 2-pixel dashes ahead of each live spark whose burst has more than one frame to live.
void DrawSparks(const SparkRing& ring, Canvas& canvas);

}  // namespace vellora
