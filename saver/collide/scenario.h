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

}  // namespace vellora
