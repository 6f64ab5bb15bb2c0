// What a contact does to the colours of the two balls, by the scenario in force.
#pragma once

#include <cstdint>

#include "saver/sim/geometry.h"

namespace vellora {

class Ball;
struct Simulation;

// b is the lower-numbered ball. Answers whether the contact may throw sparks.
bool ApplyScenarioRules(const Simulation& sim, Ball& a, Ball& b);

ColorRef DecayColor(ColorRef color, std::int32_t degree);
ColorRef HealColor(ColorRef color, std::int32_t degree);

// True when the ball is drawn with a white outline in this scenario.
bool HasWhiteOutline(std::int32_t game, std::int32_t index);
// True when the ball has died (scenarios 3 to 5, colour black).
bool IsDeadBall(std::int32_t game, ColorRef color);

}  // namespace vellora
