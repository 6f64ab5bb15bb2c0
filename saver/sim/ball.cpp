#include "saver/sim/ball.h"

#include "saver/sim/sim_state.h"

namespace vellora {

Ball::Ball(Simulation& sim, double x, double y, std::int32_t idx) : Shape(sim.ballPrototype, x, y) {
    const SimSettings& s = sim.settings;
    const int v = s.velocity;
    vx = static_cast<double>(sim.rng.Next() % v - v / 2);
    vy = static_cast<double>(sim.rng.Next() % v - v / 2);
    index = idx;
    mass = BallMass(radius, scale);

    const std::int32_t g = s.game;
    if (g == JustBounce) {
        const std::uint32_t blue = sim.rng.Next() % 175 + 80;
        const std::uint32_t green = sim.rng.Next() % 175 + 80;
        const std::uint32_t red = sim.rng.Next() % 175 + 80;
        color = Rgb(red, green, blue);
        colorLevel = 0;
    } else if (index == kRedBallIndex && g != AllDecay) {
        color = kRedBallColor;
        colorLevel = -1;
    } else if (index == kGreenBallIndex && g < Decay) {
        color = kGreenBallColor;
        colorLevel = -1;
    } else if (g < DecayVsHealth) {
        colorLevel = s.colors / 2;
        color = sim.world.palette[colorLevel];
    } else {
        static constexpr ColorRef kBright[3] = {kYellow, kMagenta, kCyan};
        color = kBright[sim.rng.Next() % 3];
        colorLevel = 255 / s.colors + 1;
    }
    nextVx = vx;
    nextVy = vy;
}

bool HasWhiteOutline(std::int32_t game, std::int32_t index) {
    if (game == JustBounce) return false;
    return index == kRedBallIndex ||
           ((game == SoloGoodVsEvil || game == GoodVsEvil || game == DecayVsHealth) && index == kGreenBallIndex);
}

bool IsDeadBall(std::int32_t game, ColorRef color) {
    return game >= DecayVsHealth && game <= AllDecay && color == 0;
}

void Ball::Update() {
    prevBounds = bounds;
    radius = prototype->radius * scale;
    bounds = Rect{Trunc(worldX - radius), Trunc(worldY - radius), Trunc(worldX + radius), Trunc(worldY + radius)};
}

}  // namespace vellora
