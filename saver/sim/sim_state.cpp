#include "saver/sim/sim_state.h"

#include "saver/sim/world_setup.h"

namespace vellora {

Simulation::Simulation() = default;

Simulation::Simulation(std::uint32_t seed) : rng(seed) {}

// The balls go before the grid's cells and the spark ring, which the members' own destructors release.
Simulation::~Simulation() { TeardownWorld(*this); }

}  // namespace vellora
