#include "saver/sim/scene_load.h"

#include <algorithm>
#include <cmath>

#include "saver/config/settings.h"
#include "saver/sim/ball.h"

namespace vellora {

namespace {

// The share of the area the balls' discs may cover together. Beyond it a new ball finds no free
// place, placement spends every re-try, and the frame step mostly separates overlapping balls.
constexpr double kMaxCoverage = 0.7;

double Sweep(std::int64_t n, std::int64_t r, std::int64_t v) {
    const double side = 2.0 * static_cast<double>(r) + static_cast<double>(v) / 2.0;
    return static_cast<double>(n) * side * side;
}

// A value beyond the dialog's largest, lowered toward `wanted` but never below that largest.
std::int64_t GiveWay(std::int64_t value, std::int64_t dialogMax, double wanted) {
    if (value <= dialogMax) return value;
    const double held = std::max(static_cast<double>(dialogMax), std::floor(wanted));
    return std::min(value, static_cast<std::int64_t>(held));
}

}  // namespace

BallLoad HoldBallLoad(BallLoad stored, std::int32_t areaWidth, std::int32_t areaHeight) {
    const std::int64_t maxN = DefOf(Setting::NumBalls).dialogMax;
    const std::int64_t maxR = DefOf(Setting::BallSize).dialogMax;
    const std::int64_t maxV = DefOf(Setting::Velocity).dialogMax;
    std::int64_t n = std::max(stored.numBalls, 0), r = stored.radius, v = stored.velocity;
    if (n <= maxN && r <= maxR && v <= maxV) return stored;

    const std::int64_t w = std::max(areaWidth, 0), h = std::max(areaHeight, 0);
    // A ball fits when its diameter is less than both extents.
    const std::int64_t fit = (std::min(w, h) - 1) / 2;
    if (r > maxR && fit >= 1 && r > fit) r = fit;

    const double budget = Sweep(maxN, maxR, maxV);
    const double perBall = budget / static_cast<double>(std::max<std::int64_t>(n, 1));  // a square's area
    if (Sweep(n, r, v) > budget) v = GiveWay(v, maxV, 2.0 * (std::sqrt(perBall) - 2.0 * static_cast<double>(r)));
    if (Sweep(n, r, v) > budget) r = GiveWay(r, maxR, (std::sqrt(perBall) - static_cast<double>(v) / 2.0) / 2.0);

    // In units of radius squared.
    const double cover = kMaxCoverage * static_cast<double>(w) * static_cast<double>(h) / kPi;
    if (static_cast<double>(n * r * r) > cover) r = GiveWay(r, maxR, std::sqrt(cover / static_cast<double>(std::max<std::int64_t>(n, 1))));

    if (Sweep(n, r, v) > budget || static_cast<double>(n * r * r) > cover) {
        const double side = 2.0 * static_cast<double>(r) + static_cast<double>(v) / 2.0;
        const double wanted = std::min(budget / (side * side), cover / static_cast<double>(r * r));
        n = GiveWay(n, maxN, wanted);
    }
    return BallLoad{static_cast<std::int32_t>(n), static_cast<std::int32_t>(r), static_cast<std::int32_t>(v)};
}

}  // namespace vellora
