#include "saver/sim/world_setup.h"

#include "saver/config/settings.h"
#include "saver/sim/scene_load.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

constexpr std::int32_t kMaxPlacementRetries = 100;

std::int32_t SafeValue(const StoredSettings& stored, Setting id) { return ClampToSafe(id, stored.Get(id)); }

// The acceleration in pixels per frame per frame.
double Acceleration(const StoredSettings& stored) {
    return static_cast<std::uint32_t>(SafeValue(stored, Setting::Gravity)) * DefOf(Setting::Gravity).unit;
}

void LoadStoredSettings(Simulation& sim, const StoredSettings& stored) {
    SimSettings& s = sim.settings;
    s.numBalls = SafeValue(stored, Setting::NumBalls);
    s.velocity = SafeValue(stored, Setting::Velocity);
    s.ballSize = static_cast<double>(static_cast<std::uint32_t>(SafeValue(stored, Setting::BallSize)));
    s.colors = SafeValue(stored, Setting::Colors);
    s.accelY = Acceleration(stored);
    const auto framesPerUnit = static_cast<std::uint32_t>(DefOf(Setting::ScenarioCounter).unit);
    s.scenarioCounter = static_cast<std::uint32_t>(SafeValue(stored, Setting::ScenarioCounter)) * framesPerUnit;

    const std::int32_t sizeSel = stored.Get(Setting::BallSizeSel);
    s.ballSizeSel = sizeSel == 2 ? (sim.rng.Next() % 2 != 0) : sizeSel != 0;

    const std::int32_t game = stored.Get(Setting::Game);
    if (game == RandomScenario) s.game = sim.rng.Next() % 6;
    // Anything else outside the six scenarios (the options dialog stores -1 for a list left
    // without a selection) runs as the key's default, Just Bounce.
    else s.game = (game >= JustBounce && game <= AllDecay) ? game : JustBounce;

    const std::int32_t sparks = stored.Get(Setting::Sparks);
    s.sparks = sparks == 2 ? (sim.rng.Next() % 2 != 0) : sparks != 0;
}

void LoadPreviewSettings(Simulation& sim, const StoredSettings& stored) {
    SimSettings& s = sim.settings;
    s.numBalls = 3;
    s.ballSize = 10.0;
    s.ballSizeSel = false;
    s.velocity = 6;
    s.sparks = true;
    s.game = JustBounce;
    s.scenarioCounter = 0x7FFFFFFF;
    s.accelY = Acceleration(stored);
    // colors keeps its value; held in range so that repeated scenes cannot grow it without end.
    s.colors = ClampToSafe(Setting::Colors, s.colors);
}

struct Point2 {
    double x, y;
};

// Draws a fresh centre inside the placement area (the drawing area less the ball size on every side).
// x is drawn before y.
Point2 DrawPosition(Simulation& sim, std::int32_t wp, std::int32_t hp) {
    const double x = static_cast<double>(sim.rng.Next() % wp) + sim.settings.ballSize;
    const double y = static_cast<double>(sim.rng.Next() % hp) + sim.settings.ballSize;
    return Point2{x, y};
}

bool Overlaps(const Ball& a, const Ball& b) {
    const double dx = a.worldX - b.worldX, dy = a.worldY - b.worldY, r = a.radius + b.radius;
    return dx * dx + dy * dy <= r * r;
}

void PlaceBall(Simulation& sim, Ball& ball, std::int32_t wp, std::int32_t hp) {
    auto& balls = sim.world.balls;
    std::int32_t retries = 0;
    for (;;) {
        bool overlapped = false;
        for (const auto& other : balls) {
            if (Overlaps(*other, ball)) {
                const Point2 p = DrawPosition(sim, wp, hp);
                ball.worldX = p.x;
                ball.worldY = p.y;
                ++retries;
                overlapped = true;
            }
        }
        if (!overlapped || retries > kMaxPlacementRetries) return;
    }
}

// Appends the ball to the world and files it in the grid at its centre.
Ball& FileBall(Simulation& sim, std::unique_ptr<Ball> ball) {
    Ball* placed = ball.get();
    sim.world.balls.push_back(std::move(ball));
    sim.grid.InsertNode(placed, Trunc(placed->worldX), Trunc(placed->worldY));
    return *placed;
}

}  // namespace

std::vector<ColorRef> BuildPalette(std::int32_t n) {
    std::vector<ColorRef> palette(n > 0 ? n : 0);
    // A single entry has no span to divide: it is the red end.
    const double stepPerEntry = n > 1 ? 255.0 / (n - 1.0) : 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        const double a = i * stepPerEntry;
        std::int32_t red = Trunc(255 - a), green = Trunc(a);
        std::int32_t blue = i < n * 0.5 ? Trunc(a) : Trunc(255 - a);
        if (red < 0) red = 0;
        if (green < 0) green = 0;
        if (blue < 0) blue = 0;
        if (blue > 255) blue = 255;
        palette[i] = Rgb(static_cast<std::uint32_t>(red), static_cast<std::uint32_t>(green),
                         static_cast<std::uint32_t>(blue));
    }
    return palette;
}

bool SetupWorld(Simulation& sim, const Profile& profile, const Rect& area, bool preview) {
    return SetupWorld(sim, StoredSettings::Read(profile), area, preview);
}

bool SetupWorld(Simulation& sim, const StoredSettings& stored, const Rect& area, bool preview) {
    World& world = sim.world;
    SimSettings& s = sim.settings;
    if (!world.previewLatched) {
        world.previewMode = preview;
        world.previewLatched = true;
    }
    if (world.previewMode) LoadPreviewSettings(sim, stored);
    else LoadStoredSettings(sim, stored);

    const std::int32_t width = area.Width() > 0 ? area.Width() : 0;
    const std::int32_t height = area.Height() > 0 ? area.Height() : 0;
    const BallLoad load = HoldBallLoad(BallLoad{s.numBalls, Trunc(s.ballSize), s.velocity}, width, height);
    s.numBalls = load.numBalls;
    s.ballSize = load.radius;
    s.velocity = load.velocity;
    const std::int32_t r = load.radius;
    const std::int32_t wp = width - 2 * r, hp = height - 2 * r;

    if (s.game < DecayVsHealth) s.colors = 2 * s.colors + 1;
    sim.ballPrototype.radius = s.ballSize;
    world.frameCount = 0;

    const std::int32_t side = Trunc(s.ballSize * 4.0);
    sim.grid.BuildCells(width, height, side, side);
    world.palette = BuildPalette(s.colors);
    sim.sparkRing.FreeSparks();
    sim.sparkRing.AllocateSparks(kSparkRingCapacity, kSparksPerBurst);

    ReleaseBalls(world);

    // An area that cannot hold a single ball gets none: the scene runs empty.
    if (wp <= 0 || hp <= 0) return true;

    world.balls.reserve(s.numBalls > 0 ? s.numBalls : 0);
    for (std::int32_t i = 0; i < s.numBalls; ++i) {
        const Point2 p = DrawPosition(sim, wp, hp);
        auto ball = std::make_unique<Ball>(sim, p.x, p.y, i);
        if (s.ballSizeSel && sim.rng.Next() % 2 != 0) {
            ball->scale = (sim.rng.Next() % 90) * 0.01 + 0.1;
            ball->mass = BallMass(ball->radius, ball->scale);
        }
        PlaceBall(sim, *ball, wp, hp);
        FileBall(sim, std::move(ball));
    }
    return true;
}

Ball& AddBall(Simulation& sim, double x, double y) {
    const auto index = static_cast<std::int32_t>(sim.world.balls.size());
    return FileBall(sim, std::make_unique<Ball>(sim, x, y, index));
}

}  // namespace vellora
