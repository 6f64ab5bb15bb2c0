#include "saver/sim/step.h"

#include "saver/collide/collision.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

// One axis of a frame's motion: move by v, then bounce off the edge the ball moves towards (only
// that one; touching it exactly is no bounce). The bounce places the ball touching the edge.
void MoveAlongAxis(double& pos, double v, double& next, double radius, double low, double high) {
    if (v == 0.0) return;
    pos += v;
    if (v > 0.0) {
        if (pos + radius > high) {
            next = -next;
            pos = high - radius;
        }
    } else if (pos - radius < low) {
        next = -next;
        pos = low + radius;
    }
}

}  // namespace

void MoveBall(Ball& ball, double accelY, const Rect& area) {
    ball.vx = ball.nextVx;
    ball.vy = accelY + ball.nextVy;
    ball.nextVx = ball.vx;
    ball.nextVy = ball.vy;
    MoveAlongAxis(ball.worldX, ball.vx, ball.nextVx, ball.radius, area.left, area.right);
    MoveAlongAxis(ball.worldY, ball.vy, ball.nextVy, ball.radius, area.top, area.bottom);
}

namespace {

// The grid covers the area it was built for; a centre beyond it (a window that grew since the
// scene began) is searched from the nearest edge cell.
std::int32_t ClampIndex(std::int32_t v, std::int32_t count) { return v < 0 ? 0 : (v >= count ? count - 1 : v); }

void CollideWithNeighbour(Simulation& sim, Ball& ball, std::int32_t i, std::int32_t j, const Rect& area) {
    if (sim.grid.Contains(i, j)) CollideBallWithCell(sim, ball, sim.grid.Cell(i, j), area);
}

}  // namespace

void StepWorld(Simulation& sim, const Rect& area) {
    sim.sparkRing.AdvanceSparks();
    auto& balls = sim.world.balls;
    if (balls.empty() || !sim.grid.HasCells()) return;

    const double accelY = sim.settings.accelY;
    for (auto it = balls.rbegin(); it != balls.rend(); ++it) {
        Ball& ball = **it;
        MoveBall(ball, accelY, area);
        sim.grid.RefileNode(&ball, Trunc(ball.worldX), Trunc(ball.worldY));
    }

    CollisionGrid& grid = sim.grid;
    const std::int32_t cw = grid.cellWidth, ch = grid.cellHeight;
    for (auto it = balls.rbegin(); it != balls.rend(); ++it) {
        Ball& ball = **it;
        const std::int32_t i = ClampIndex(Trunc(ball.worldX) / cw, grid.columnCount);
        const std::int32_t j = ClampIndex(Trunc(ball.worldY) / ch, grid.rowCount);
        CollideBallWithCell(sim, ball, grid.Cell(i, j), area);

        // In 64 bits: the last cells of a grid as wide as the 32-bit range end beyond it.
        const std::int64_t midX = std::int64_t{i} * cw + cw / 2, midY = std::int64_t{j} * ch + ch / 2;
        const std::int32_t di = ball.worldX < midX ? -1 : 1;
        const std::int32_t dj = ball.worldY < midY ? -1 : 1;
        CollideWithNeighbour(sim, ball, i + di, j, area);
        CollideWithNeighbour(sim, ball, i + di, j + dj, area);
        CollideWithNeighbour(sim, ball, i, j + dj, area);

        ball.Update();
    }
}

}  // namespace vellora
