// Small hand-made worlds for the simulation tests.
#pragma once

#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora::test {

// A simulation with a grid and spark ring for the area but no balls; balls are added by hand.
inline void PrepareEmptyWorld(Simulation& sim, const Rect& area, std::int32_t game = JustBounce,
                              double ballSize = 30.0, bool sparks = false) {
    SetupWorld(sim,
               StoredSettings()
                   .Set(Setting::NumBalls, 0)
                   .Set(Setting::BallSize, static_cast<std::int32_t>(ballSize))
                   .Set(Setting::Game, game)
                   .Set(Setting::Sparks, sparks ? 1 : 0),
               area, false);
}

// Appends a ball at (x, y) with the given velocity (this frame's and next frame's alike) and
// files it in the grid, as world setup would.
inline Ball& AddBall(Simulation& sim, double x, double y, double vx = 0.0, double vy = 0.0) {
    Ball& ball = vellora::AddBall(sim, x, y);
    ball.vx = ball.nextVx = vx;
    ball.vy = ball.nextVy = vy;
    return ball;
}

}  // namespace vellora::test
