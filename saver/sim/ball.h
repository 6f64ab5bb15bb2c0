// One simulated ball: a circle node with velocity, mass, colour and colour level, filed in the grid.
#pragma once

#include <cstdint>

#include "saver/sim/grid.h"
#include "saver/sim/shape.h"

namespace vellora {

struct Simulation;

constexpr double kPi = 3.1415926535;
constexpr ColorRef kRedBallColor = Rgb(200, 0, 0);
constexpr ColorRef kGreenBallColor = Rgb(0, 220, 0);
constexpr ColorRef kYellow = Rgb(255, 255, 0);
constexpr ColorRef kMagenta = Rgb(255, 0, 255);
constexpr ColorRef kCyan = Rgb(0, 255, 255);

// In the scenarios with a red and a green ball, they are the first two balls made.
constexpr std::int32_t kRedBallIndex = 0;
constexpr std::int32_t kGreenBallIndex = 1;

// The mass of a ball of this radius drawn at this scale: its area.
constexpr double BallMass(double radius, double scale) { return kPi * (radius * scale) * (radius * scale); }

// True when the ball is drawn with a white outline in this scenario.
bool HasWhiteOutline(std::int32_t game, std::int32_t index);
// True when the ball has died (scenarios 3 to 5, colour black).
bool IsDeadBall(std::int32_t game, ColorRef color);

class Ball : public Shape, public GridNode {
public:
    // Draws from the simulation's generator in this order: vx, vy, then the colour draws.
    // Needs the simulation's settings and palette set up for this scene.
    Ball(Simulation& sim, double x, double y, std::int32_t index);
    ~Ball() override = default;

    // prevBounds from bounds, the radius scaled, new bounds.
    void Update() override;

    static Ball* FromNode(GridNode* node) { return static_cast<Ball*>(node); }

    ColorRef color = 0;
    double vx = 0.0, vy = 0.0;
    double nextVx = 0.0, nextVy = 0.0;
    double mass = 0.0;
    std::int32_t index = 0;
    std::int32_t colorLevel = 0;
};

}  // namespace vellora
