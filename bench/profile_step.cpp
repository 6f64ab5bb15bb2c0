// Runs the frame step on a world of many balls, for a profiler to watch:
//   vellora_profile_step [balls (10000)] [frames after the warm-up (200)]
#include <cstdio>
#include <cstdlib>

#include "bench/bench_world.h"

int main(int argc, char** argv) {
    using namespace vellora;
    const std::int32_t n = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 200;
    if (n <= 0 || frames < 0) {
        std::fprintf(stderr, "usage: vellora_profile_step [balls] [frames]\n");
        return 2;
    }
    const Rect area = bench::AreaFor(n);
    Simulation sim(bench::kSeed);
    bench::BuildWorld(sim, area, n);
    bench::WarmUp(sim, area);
    for (int f = 0; f < frames; ++f) StepWorld(sim, area);
    double sum = 0.0;
    for (const auto& b : sim.world.balls) sum += b->nextVx * b->nextVx + b->nextVy * b->nextVy;
    std::printf("%d balls, %d frames after %d warm-up frames, speed^2 sum %.1f\n", n, frames, bench::kWarmupFrames, sum);
    return 0;
}
