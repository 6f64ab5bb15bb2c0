// Worlds for the benchmarks, built by hand so that any number of balls can be placed in linear
// time, and the two ways of drawing a frame that the benchmarks compare. Portable: the host and
// the Windows benchmarks share it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "saver/config/settings.h"
#include "saver/render/canvas.h"
#include "saver/render/renderer.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/step.h"
#include "saver/sim/world_setup.h"

namespace vellora::bench {

constexpr double kBallRadius = 10.0;
constexpr std::int32_t kScreenWidth = 1024;
constexpr std::int32_t kScreenHeight = 768;
// The density of every world: this many balls per 1024 x 768 screen.
constexpr std::int32_t kBallsPerScreen = 100;
// Frames run before anything is timed, so that the balls have spread, fallen and are colliding.
constexpr int kWarmupFrames = 300;
constexpr std::uint32_t kSeed = 20261211;

// The area for n balls at the common density. The height stays one screen so that a ball falls as
// far, and reaches the same speeds, whatever n is; the width grows with n.
inline Rect AreaFor(std::int32_t n) {
    const std::int64_t width = static_cast<std::int64_t>(n) * kScreenWidth / kBallsPerScreen;
    return Rect{0, 0, static_cast<std::int32_t>(width < 64 ? 64 : width), kScreenHeight};
}

// Where a ball starts, so that other engines can be started from the very same state.
struct BodyState {
    double x, y, vx, vy, radius, mass;
};

// A world of n balls of radius 10 in area: gravity 0.2, sparks on, Good vs. Evil with 5 colour
// levels, velocities drawn as world setup draws them (setting 10), built through world setup. The balls sit one to a slot of
// a lattice of 96-pixel rows, at a random place inside their slot, so none overlaps another.
inline void BuildWorld(Simulation& sim, const Rect& area, std::int32_t n) {
    // Colors 2 gives Good vs. Evil its 5 levels; gravity 4 is 0.2 pixels per frame per frame.
    SetupWorld(sim,
               StoredSettings()
                   .Set(Setting::NumBalls, 0)
                   .Set(Setting::Velocity, 10)
                   .Set(Setting::BallSize, static_cast<std::int32_t>(kBallRadius))
                   .Set(Setting::Colors, 2)
                   .Set(Setting::Gravity, 4)
                   .Set(Setting::Game, GoodVsEvil)
                   .Set(Setting::Sparks, 1)
                   .Set(Setting::BallSizeSel, 0)
                   .Set(Setting::ScenarioCounter, 1000000),  // a scene far longer than any run
               area, false);
    sim.world.balls.reserve(static_cast<std::size_t>(n));

    const std::int32_t r = Trunc(kBallRadius);
    const std::int32_t rows = area.Height() / 96 > 0 ? area.Height() / 96 : 1;
    const std::int32_t columns = (n + rows - 1) / rows > 0 ? (n + rows - 1) / rows : 1;
    const std::int32_t slotW = area.Width() / columns, slotH = area.Height() / rows;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t column = i / rows, row = i % rows;
        const double x = column * slotW + r + sim.rng.Next() % (slotW - 2 * r);
        const double y = row * slotH + r + sim.rng.Next() % (slotH - 2 * r);
        AddBall(sim, x, y).Update();
    }
}

inline std::vector<BodyState> Snapshot(const Simulation& sim) {
    std::vector<BodyState> bodies;
    bodies.reserve(sim.world.balls.size());
    for (const auto& b : sim.world.balls) bodies.push_back({b->worldX, b->worldY, b->nextVx, b->nextVy, b->radius, b->mass});
    return bodies;
}

inline void WarmUp(Simulation& sim, const Rect& area, int frames = kWarmupFrames) {
    for (int f = 0; f < frames; ++f) StepWorld(sim, area);
}

// Files every ball in one cell that covers the whole area: the frame step then tests each ball
// against every lower-numbered ball with the same pair routine, the all-pairs baseline.
inline void UseSingleCell(Simulation& sim, const Rect& area) {
    sim.grid.DiscardCells();
    sim.grid.BuildCells(area.Width(), area.Height(), area.Width() + 1, area.Height() + 1);
    for (const auto& b : sim.world.balls) sim.grid.InsertNode(b.get(), Trunc(b->worldX), Trunc(b->worldY));
}

// The pixels the frame renderer fills and copies: the dirty rectangles (each ball's bounds now
// and before its last update, one pixel wider all round), clipped to the window, overlaps counted
// as often as they are copied.
inline std::int64_t DirtyPixels(const Simulation& sim, const Rect& window) {
    std::int64_t total = 0;
    for (const auto& b : sim.world.balls) {
        const Rect r = IntersectRect(InflateRect(UnionRect(b->bounds, b->prevBounds), 1, 1), window);
        total += static_cast<std::int64_t>(r.Width()) * r.Height();
    }
    return total;
}

// The obvious alternative to the dirty rectangles: a back buffer the size of the window is filled
// black, every ball and spark drawn into it, and the whole window copied.
inline void FullRedraw(Simulation& sim, Canvas& target) {
    const Rect window = target.ClipBox();
    std::unique_ptr<Canvas> buffer = target.CreateBackBuffer(window);
    if (!buffer) return;
    const auto black = buffer->CreateSolidBrush(kBlack);
    if (!black) return;
    buffer->FillRect(window, *black);
    for (const auto& b : sim.world.balls) DrawBall(*b, sim.settings.game, *buffer);
    DrawSparks(sim.sparkRing, *buffer);
    target.UsePlainMapping();
    target.CopyFrom(*buffer, window);
}

}  // namespace vellora::bench
