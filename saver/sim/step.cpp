#include "saver/sim/step.h"

#include "saver/collide/collision.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

void MoveBall(Ball& ball, double accelY, const Rect& area) {
    ball.vx = ball.nextVx;
    ball.vy = accelY + ball.nextVy;
    ball.nextVx = ball.vx;
    ball.nextVy = ball.vy;

    // Only the edge the ball moves towards is tested; touching it exactly is no bounce.
    if (ball.vx != 0.0) {
        ball.worldX += ball.vx;
        if (ball.vx > 0.0) {
            if (ball.worldX + ball.radius > area.right) {
                ball.nextVx = -ball.nextVx;
                ball.worldX = area.right - ball.radius;
            }
        } else if (ball.worldX - ball.radius < area.left) {
            ball.nextVx = -ball.nextVx;
            ball.worldX = area.left + ball.radius;
        }
    }
    if (ball.vy != 0.0) {
        ball.worldY += ball.vy;
        if (ball.vy > 0.0) {
            if (ball.worldY + ball.radius > area.bottom) {
                ball.nextVy = -ball.nextVy;
                ball.worldY = area.bottom - ball.radius;
            }
        } else if (ball.worldY - ball.radius < area.top) {
            ball.nextVy = -ball.nextVy;
            ball.worldY = area.top + ball.radius;
        }
    }
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

        const std::int32_t midX = i * cw + cw / 2, midY = j * ch + ch / 2;
        const std::int32_t di = ball.worldX < midX ? -1 : 1;
        const std::int32_t dj = ball.worldY < midY ? -1 : 1;
        CollideWithNeighbour(sim, ball, i + di, j, area);
        CollideWithNeighbour(sim, ball, i + di, j + dj, area);
        CollideWithNeighbour(sim, ball, i, j + dj, area);

        ball.Update();
    }
}

}  // namespace vellora
