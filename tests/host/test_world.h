// Small hand-made worlds for the simulation tests.
#pragma once

#include <memory>

#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora::test {

// A simulation with a grid and spark ring for the area but no balls; balls are added by hand.
inline void PrepareEmptyWorld(Simulation& sim, const Rect& area, std::int32_t game = JustBounce,
                              double ballSize = 30.0, bool sparks = false) {
    MemoryProfile profile;
    profile.WriteInt(kSettingsSection, "NumBalls", 0);
    profile.WriteInt(kSettingsSection, "BallSize", static_cast<std::int32_t>(ballSize));
    profile.WriteInt(kSettingsSection, "Game", game);
    profile.WriteInt(kSettingsSection, "Sparks", sparks ? 1 : 0);
    SetupWorld(sim, profile, area, false);
}

// Appends a ball at (x, y) with the given velocity (this frame's and next frame's alike) and
// files it in the grid, as world setup would.
inline Ball& AddBall(Simulation& sim, double x, double y, double vx = 0.0, double vy = 0.0) {
    const auto index = static_cast<std::int32_t>(sim.world.balls.size());
    auto ball = std::make_unique<Ball>(sim, x, y, index);
    ball->vx = ball->nextVx = vx;
    ball->vy = ball->nextVy = vy;
    Ball& ref = *ball;
    sim.world.balls.push_back(std::move(ball));
    sim.grid.InsertNode(&ref, Trunc(x), Trunc(y));
    return ref;
}

}  // namespace vellora::test
