// The state of one simulation: the values it runs with, the world, and the objects beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "saver/collide/sparks.h"
#include "saver/sim/ball.h"
#include "saver/sim/grid.h"
#include "saver/sim/random.h"
#include "saver/sim/shape.h"

namespace vellora {

enum Scenario : std::int32_t {
    JustBounce = 0,
    SoloGoodVsEvil = 1,
    GoodVsEvil = 2,
    DecayVsHealth = 3,
    Decay = 4,
    AllDecay = 5,
    RandomScenario = 6,  // never in force: world setup draws one of 0 to 5
};

// The values a scene runs with, as world setup resolved them (these are the values before the
// first setup).
struct SimSettings {
    std::int32_t numBalls = 20;
    std::int32_t velocity = 10;
    double ballSize = 30.0;
    // Scenarios 0 to 2: the number of colour levels (2 x stored + 1); 3 to 5: the stored value.
    std::int32_t colors = 7;
    double accelY = 0.0;
    std::uint32_t scenarioCounter = 1000;  // scene length in frames
    std::int32_t game = GoodVsEvil;
    bool sparks = true;
    bool ballSizeSel = false;
};

struct Simulation;

struct World {
    std::vector<std::unique_ptr<Ball>> balls;  // in creation order: balls[i]->index == i
    std::vector<ColorRef> palette;
    std::uint32_t frameCount = 0;
    bool previewMode = false;
    bool previewLatched = false;
};

// Deletes the balls in array order.
void ReleaseBalls(World& world);
// Deletes the balls in array order and releases the palette.
void TeardownWorld(Simulation& sim);

// One per process in the saver; tests and tools make as many as they like.
struct Simulation {
    Simulation();
    explicit Simulation(std::uint32_t seed);
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;
    ~Simulation();

    SimSettings settings;
    World world;
    Outline ballPrototype{Circle, nullptr, 0, 30.0};
    CollisionGrid grid;
    SparkRing sparkRing;
    Random rng;
};

}  // namespace vellora
