#include "saver/sim/sim_state.h"

namespace vellora {

Simulation::Simulation() = default;

Simulation::Simulation(std::uint32_t seed) : rng(seed) {}

// The balls go before the grid's cells and the spark ring, which the members' own destructors release.
Simulation::~Simulation() { TeardownWorld(*this); }

void ReleaseBalls(World& world) {
    for (auto& ball : world.balls) ball.reset();
    world.balls.clear();
    world.balls.shrink_to_fit();
}

void TeardownWorld(Simulation& sim) {
    ReleaseBalls(sim.world);
    sim.world.palette.clear();
    sim.world.palette.shrink_to_fit();
}

}  // namespace vellora
