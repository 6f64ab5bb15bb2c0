#include "saver/collide/scenario.h"

#include <algorithm>

#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

bool IsRedBall(const Ball& ball) { return ball.index == kRedBallIndex; }
bool IsGreenBall(const Ball& ball) { return ball.index == kGreenBallIndex; }

void SetLevel(const Simulation& sim, Ball& ball, std::int32_t level) {
    ball.colorLevel = level;
    ball.color = sim.world.palette[level];
}

// Scenarios 1 and 2: levels from 0 (red) to top (green).
bool ApplyColourLevels(const Simulation& sim, Ball& a, Ball& b) {
    const std::int32_t top = sim.settings.colors - 1;
    if (IsRedBall(b) && !IsGreenBall(a)) {
        if (a.colorLevel > 0) SetLevel(sim, a, a.colorLevel - 1);
        return true;
    }
    if (IsGreenBall(b)) {
        if (a.colorLevel < top) SetLevel(sim, a, a.colorLevel + 1);
        return true;
    }
    if (sim.settings.game == SoloGoodVsEvil) return false;
    const std::int32_t la = a.colorLevel, lb = b.colorLevel;
    if (la == lb) return false;
    if (la == 0 && lb > 0) SetLevel(sim, b, lb - 1);
    else if (la == top && lb < top) SetLevel(sim, b, lb + 1);
    if (lb == 0 && la > 0) SetLevel(sim, a, la - 1);
    else if (lb == top && la < top) SetLevel(sim, a, la + 1);
    return true;
}

}  // namespace

ColorRef DecayColor(ColorRef c, std::int32_t d) {
    auto down = [d](std::int32_t ch) { return static_cast<std::uint32_t>(std::max(ch - d, 0)); };
    return Rgb(down(RedOf(c)), down(GreenOf(c)), down(BlueOf(c)));
}

ColorRef HealColor(ColorRef c, std::int32_t d) {
    auto up = [d](std::int32_t ch) { return static_cast<std::uint32_t>(ch == 0 ? 0 : std::min(ch + d, 255)); };
    return Rgb(up(RedOf(c)), up(GreenOf(c)), up(BlueOf(c)));
}

bool ApplyScenarioRules(const Simulation& sim, Ball& a, Ball& b) {
    switch (sim.settings.game) {
        case SoloGoodVsEvil:
        case GoodVsEvil:
            return ApplyColourLevels(sim, a, b);
        case AllDecay:
            a.color = DecayColor(a.color, a.colorLevel);
            b.color = DecayColor(b.color, a.colorLevel);
            return true;
        case DecayVsHealth:
        case Decay: {
            const bool scenario3 = sim.settings.game == DecayVsHealth;
            if (IsRedBall(b) && !(scenario3 && IsGreenBall(a))) a.color = DecayColor(a.color, a.colorLevel);
            else if (scenario3 && IsGreenBall(b)) a.color = HealColor(a.color, a.colorLevel);
            return true;
        }
        default:  // Just Bounce, and anything that is not a scenario: colours never change
            return true;
    }
}

}  // namespace vellora
