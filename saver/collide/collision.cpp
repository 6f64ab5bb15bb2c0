#include "saver/collide/collision.h"

#include <cmath>

#include "saver/collide/scenario.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

constexpr double kImpulseFactor = 2.0;
// Below this relative speed (pixels per frame) the balls are not moved back to the moment of contact.
constexpr double kPlacementMinSpeed = 0.2;

void HoldInside(double& coord, double radius, double limit) {
    if (coord < radius) coord = radius;
    else if (coord > limit - radius) coord = limit - radius;
}

void Collide(Simulation& sim, Ball& a, Ball& b, const Rect& area) {
    double dx = a.worldX - b.worldX, dy = a.worldY - b.worldY;
    const double sumR = a.radius + b.radius;
    if (dx * dx + dy * dy > sumR * sumR) return;
    const std::int32_t game = sim.settings.game;
    if (IsDeadBall(game, a.color) || IsDeadBall(game, b.color)) return;

    const double dvx = a.vx - b.vx, dvy = a.vy - b.vy;
    const double relSpeed = std::sqrt(dvx * dvx + dvy * dvy);
    const double pax = a.worldX - a.vx, pay = a.worldY - a.vy;
    const double pbx = b.worldX - b.vx, pby = b.worldY - b.vy;
    const double prevDist2 = (pax - pbx) * (pax - pbx) + (pay - pby) * (pay - pby);
    // Only contacts that began in this frame; balls already overlapping drift apart on their own.
    if (prevDist2 <= sumR * sumR) return;

    bool emit = sim.settings.sparks;
    if (!ApplyScenarioRules(sim, a, b)) emit = false;

    if (relSpeed >= kPlacementMinSpeed) {
        const double t = (std::sqrt(prevDist2) - sumR) / relSpeed;
        a.worldX = pax + t * a.vx;
        a.worldY = pay + t * a.vy;
        b.worldX = pbx + t * b.vx;
        b.worldY = pby + t * b.vy;
        const double right = area.right, bottom = area.bottom;
        HoldInside(a.worldX, a.radius, right);
        HoldInside(a.worldY, a.radius, bottom);
        HoldInside(b.worldX, b.radius, right);
        HoldInside(b.worldY, b.radius, bottom);
        dx = a.worldX - b.worldX;
        dy = a.worldY - b.worldY;
    }

    const double theta = std::atan2(dy, dx);
    const double nx = std::cos(theta), ny = std::sin(theta);

    if (emit) {
        if (Spark* burst = sim.sparkRing.AcquireBurst()) {
            sim.sparkRing.StartBurst(burst, Trunc(a.worldX - nx * a.radius), Trunc(a.worldY - ny * a.radius), sim.rng);
        }
    }

    // J is the length of (nx·dvx, ny·dvy), never negative: each ball is always pushed away from the other.
    const double j = std::sqrt((nx * dvx) * (nx * dvx) + (ny * dvy) * (ny * dvy));
    const double jx = j * nx, jy = j * ny;
    const double q = b.mass / (a.mass + b.mass);
    a.nextVx += (q * kImpulseFactor) * jx;
    a.nextVy += (q * kImpulseFactor) * jy;
    b.nextVx -= ((1.0 - q) * kImpulseFactor) * jx;
    b.nextVy -= ((1.0 - q) * kImpulseFactor) * jy;

    // The pair leaves with the sum of speeds it had in this frame.
    const double before = std::sqrt(a.vx * a.vx + a.vy * a.vy) + std::sqrt(b.vx * b.vx + b.vy * b.vy);
    const double after = std::sqrt(a.nextVx * a.nextVx + a.nextVy * a.nextVy) +
                         std::sqrt(b.nextVx * b.nextVx + b.nextVy * b.nextVy);
    // Both next velocities exactly zero (or so small that the factor overflows): nothing to
    // rescale, and the pair stays as the push left it.
    const double f = after > 0.0 ? before / after : 0.0;
    if (after > 0.0 && std::isfinite(f)) {
        a.nextVx *= f;
        a.nextVy *= f;
        b.nextVx *= f;
        b.nextVy *= f;
    }
}

}  // namespace

void CollideBallWithCell(Simulation& sim, Ball& a, const GridCell& cell, const Rect& area) {
    for (GridNode* node = cell.head; node; node = node->nextInCell) {
        Ball& b = *Ball::FromNode(node);
        if (b.index >= a.index) continue;
        Collide(sim, a, b, area);
    }
}

}  // namespace vellora
