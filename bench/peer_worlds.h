// The same balls stepped by two general-purpose 2D physics engines, for comparison with our own
// frame step. Only the benchmarks link these engines; the saver never does.
#pragma once

#include <memory>
#include <vector>

#include "bench/bench_world.h"

namespace vellora::bench {

// Iterations per step: each engine's own recommended defaults.
constexpr int kBox2DVelocityIterations = 8;
constexpr int kBox2DPositionIterations = 3;
constexpr int kChipmunkIterations = 10;

// Circles of restitution 1 and no friction in a box of four static walls, under the same gravity,
// started from the given state. One Step() is one frame (1/60 s of the engine's time, with the
// positions, velocities and gravity converted so that the motion in pixels per frame is ours).
class PeerWorld {
public:
    virtual ~PeerWorld() = default;
    virtual void Step() = 0;
    // Total kinetic energy per unit mass in (pixels per frame)^2, as a sanity figure.
    virtual double SpeedSquaredSum() const = 0;
};

std::unique_ptr<PeerWorld> MakeBox2DWorld(const std::vector<BodyState>& bodies, const Rect& area);
std::unique_ptr<PeerWorld> MakeChipmunkWorld(const std::vector<BodyState>& bodies, const Rect& area);

}  // namespace vellora::bench
