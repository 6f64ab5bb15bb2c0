// What a scene may cost, whatever the store holds. The store can be written by any program, so
// the count, radius and speed of the balls are held to what a frame and the drawing area can
// carry before a world is built from them.
#pragma once

#include <cstdint>

namespace vellora {

struct BallLoad {
    std::int32_t numBalls;
    std::int32_t radius;    // the stored "BallSize", whole pixels
    std::int32_t velocity;  // the stored "Velocity": starting speeds up to half of it a frame
};

// Values inside the options dialog's ranges keep their meaning; only those beyond give way.
// - A radius that could never fit the area is held to the largest that does.
// - What a frame draws is held to what the heaviest scene the dialog can ask for draws: each ball
//   sweeps a square of side 2 x radius + velocity / 2 in a frame, and the balls' sum of those
//   squares stays within that scene's. The speed gives way first, then the radius, then the count.
// - The balls' discs cover at most a share of the area, so placement and the frame step are not
//   spent on balls that can only overlap: the radius gives way, then the count.
// Nothing is held below the dialog's largest value of its kind.
BallLoad HoldBallLoad(BallLoad stored, std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace vellora
