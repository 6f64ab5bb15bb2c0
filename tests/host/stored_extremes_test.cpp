// Stored values no options dialog writes, as another program could leave them: each once hung,
// blanked or pinned the saver. The fixtures are the combinations that did. Values the dialog can
// write keep their meaning exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/sim/grid.h"
#include "saver/sim/scene_load.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/step.h"
#include "saver/sim/world_setup.h"
#include "test_world.h"

namespace vellora {
namespace {

const Rect kScreen{0, 0, 1024, 768};
const Rect k4K{0, 0, 3840, 2160};

// What a frame draws, as the guard counts it: each ball's square of side 2r + v/2.
double Sweep(const SimSettings& s) {
    const double side = 2.0 * s.ballSize + s.velocity / 2.0;
    return s.numBalls * side * side;
}
const double kHeaviestDialogSweep = 100.0 * (200.0 + 20.0) * (200.0 + 20.0);

TEST(SceneLength, NeverWrapsToZeroFrames) {
    struct Case {
        std::int32_t stored;
        std::uint32_t frames;
    };
    const std::uint32_t longest = 0xFFFFFFFFu / 600u * 600u;
    const Case cases[] = {
        {1, 600},         {20, 12000},      {100, 60000},            // the dialog's, unchanged
        {0, 600},         {-1, 600},        {INT_MIN, 600},          // no scene is shorter than one unit
        {0x20000000, longest}, {0x40000000, longest}, {INT_MAX, longest},  // x 600 once wrapped to 0
        {7158278, 7158278u * 600u},
    };
    for (const Case& c : cases) {
        Simulation sim(1);
        SetupWorld(sim, StoredSettings().Set(Setting::ScenarioCounter, c.stored), kScreen, false);
        EXPECT_EQ(sim.settings.scenarioCounter, c.frames) << c.stored;
    }
}

TEST(SceneLength, AStoredZeroNoLongerStartsASceneEveryFrame) {
    struct Case {
        std::int32_t stored;
        int framesUntilNewScene;  // 0: none within 1000 frames
    };
    for (const Case& c : {Case{0, 600}, Case{0x20000000, 0}}) {
        MemoryProfile profile;
        WriteSetting(profile, Setting::ScenarioCounter, c.stored);
        Simulation sim(2);
        SetupWorld(sim, profile, kScreen, false);
        int firstNewScene = 0;
        for (int frame = 1; frame <= 1000 && firstNewScene == 0; ++frame)
            if (TickFrame(sim, profile, kScreen, nullptr)) firstNewScene = frame;
        EXPECT_EQ(firstNewScene, c.framesUntilNewScene) << c.stored;
    }
}

TEST(Gravity, StaysWithinTheDialogsRange) {
    struct Case {
        std::int32_t stored;
        double accel;
    };
    const Case cases[] = {
        {0, 0.0}, {4, 0.2}, {37, 1.85}, {100, 5.0},  // the dialog's, unchanged
        {101, 5.0}, {INT_MAX, 5.0},                  // stronger pins every ball to the floor
        {-1, 0.0}, {INT_MIN, 0.0},                   // 0xFFFFFFFF and the like
    };
    for (const Case& c : cases) {
        for (bool preview : {false, true}) {
            Simulation sim(3);
            SetupWorld(sim, StoredSettings().Set(Setting::Gravity, c.stored), Rect{0, 0, 152, 112}, preview);
            EXPECT_DOUBLE_EQ(sim.settings.accelY, c.accel) << c.stored << (preview ? " in preview" : "");
        }
    }
}

TEST(Gravity, AllOnesNoLongerPinsTheBallsToTheFloor) {
    const StoredSettings stored = StoredSettings().Set(Setting::Gravity, -1);  // 0xFFFFFFFF
    Simulation sim(4);
    SetupWorld(sim, stored, kScreen, false);
    double highest = kScreen.bottom;
    for (int frame = 0; frame < 300; ++frame) {
        StepWorld(sim, kScreen);
        for (const auto& b : sim.world.balls) highest = std::min(highest, b->worldY);
    }
    EXPECT_LT(highest, kScreen.bottom / 2.0) << "some ball rises above the middle of the screen";
}

TEST(BallLoad, EveryCombinationTheDialogWritesKeepsItsMeaning) {
    const SettingDef& n = DefOf(Setting::NumBalls);
    const SettingDef& r = DefOf(Setting::BallSize);
    const SettingDef& v = DefOf(Setting::Velocity);
    for (const Rect& area : {kScreen, k4K, Rect{0, 0, 640, 480}, Rect{0, 0, 152, 112}, Rect{0, 0, 1, 1}}) {
        for (std::int32_t count : {0, 1, n.dialogMin, 50, n.dialogMax}) {
            for (std::int32_t radius : {1, r.dialogMin, 55, r.dialogMax}) {
                for (std::int32_t velocity : {1, v.dialogMin, v.dialogMax}) {
                    const BallLoad held = HoldBallLoad(BallLoad{count, radius, velocity}, area.right, area.bottom);
                    EXPECT_EQ(held.numBalls, count);
                    EXPECT_EQ(held.radius, radius);
                    EXPECT_EQ(held.velocity, velocity);
                }
            }
        }
    }
}

struct HeavyCase {
    const char* what;
    std::int32_t numBalls, ballSize, velocity;
};

// The combinations that once took seconds a frame on a 3840 x 2160 screen, and others beyond the
// dialog: the scene shows balls, and what a frame draws stays within the dialog's heaviest scene.
TEST(BallLoad, HeavyCombinationsAreHeldToTheHeaviestDialogScene) {
    const HeavyCase cases[] = {
        {"1000 balls of radius 1000", 1000, 1000, 10},
        {"100 balls of radius 1000", 100, 1000, 10},
        {"1000 balls of radius 100 at speed 1000", 1000, 100, 1000},
        {"1000 balls of radius 1 at speed 1000", 1000, 1, 1000},
        {"2 balls of radius 1000 at speed 1000", 2, 1000, 1000},
        {"1000 balls of radius 31", 1000, 31, 40},
    };
    for (const Rect& area : {k4K, kScreen}) {
        for (const HeavyCase& c : cases) {
            Simulation sim(5);
            SetupWorld(sim,
                       StoredSettings()
                           .Set(Setting::NumBalls, c.numBalls)
                           .Set(Setting::BallSize, c.ballSize)
                           .Set(Setting::Velocity, c.velocity),
                       area, false);
            const SimSettings& s = sim.settings;
            EXPECT_LE(Sweep(s), kHeaviestDialogSweep) << c.what << " on " << area.right;
            EXPECT_FALSE(sim.world.balls.empty()) << c.what << " on " << area.right;
            // Beyond the dialog's largest values the discs cover at most 70 % of the area.
            if (s.numBalls > 100 || s.ballSize > 100) {
                EXPECT_LE(s.numBalls * kPi * s.ballSize * s.ballSize, 0.7 * area.right * area.bottom) << c.what;
            }
            // Nothing is held below the dialog's largest values.
            EXPECT_GE(s.numBalls, std::min(c.numBalls, 100)) << c.what;
            EXPECT_GE(s.velocity, std::min(c.velocity, 40)) << c.what;
        }
    }
}

TEST(BallLoad, ARadiusThatCannotFitIsHeldToOneThatDoes) {
    struct Case {
        Rect area;
        std::int32_t stored, held;
    };
    const Case cases[] = {
        {kScreen, 5000, 383},           // 2 x 383 < 768
        {Rect{0, 0, 3000, 250}, 900, 124},
        {kScreen, 200, 200},            // fits: kept
        {Rect{0, 0, 150, 150}, 1000, 74},
        {Rect{0, 0, 150, 150}, 100, 100},  // the dialog's: kept, and no ball fits, as before
    };
    for (const Case& c : cases) {
        Simulation sim(6);
        SetupWorld(sim, StoredSettings().Set(Setting::NumBalls, 1).Set(Setting::BallSize, c.stored), c.area, false);
        EXPECT_EQ(sim.settings.ballSize, c.held) << c.stored << " on " << c.area.right << " x " << c.area.bottom;
        EXPECT_EQ(sim.world.balls.size(), c.held < c.area.bottom / 2.0 && c.held < c.area.right / 2.0 ? 1u : 0u);
    }
}

TEST(BallLoad, TheCountIsHeldNoLowerThanTheDialogsLargest) {
    struct Case {
        BallLoad stored;
        std::int32_t width, height;
        BallLoad held;
    };
    const Case cases[] = {
        {{0, 1000, 1000}, 3840, 2160, {0, 1000, 1000}},  // no balls stays no balls, and costs nothing
        {{1000, 1000, 1000}, 10, 10, {100, 4, 123}},     // radius to fit, speed to the budget, then the count
        {{5, 1000, 1000}, 10, 10, {5, 4, 1000}},         // a radius that fits, and little to draw
        {{1000, 1000, 1000}, 0, 0, {100, 100, 40}},      // nothing fits: the dialog's heaviest
    };
    for (const Case& c : cases) {
        const BallLoad held = HoldBallLoad(c.stored, c.width, c.height);
        EXPECT_EQ(held.numBalls, c.held.numBalls) << c.stored.numBalls << " on " << c.width;
        EXPECT_EQ(held.radius, c.held.radius) << c.stored.numBalls << " on " << c.width;
        EXPECT_EQ(held.velocity, c.held.velocity) << c.stored.numBalls << " on " << c.width;
    }
}

TEST(Grid, CellCountIsBoundedOnAnyArea) {
    struct Case {
        std::int32_t width, height, side;
    };
    const Case cases[] = {
        {65536, 65536, 4},  // ball size 1 on the simulator's largest area: once 4.3 GB of cells
        {INT_MAX, INT_MAX, 1}, {INT_MAX, 3, 1}, {3, INT_MAX, 4}, {65536, 65536, 0}, {1000, 1000, -7}, {-5, -5, 4},
    };
    for (const Case& c : cases) {
        CollisionGrid grid;
        grid.BuildCells(c.width, c.height, c.side, c.side);
        const std::int64_t cells = std::int64_t{grid.columnCount} * grid.rowCount;
        EXPECT_LE(cells, kMaxGridCells) << c.width << " x " << c.height << " / " << c.side;
        EXPECT_GE(grid.columnCount, 1);
        EXPECT_GE(grid.rowCount, 1);
        EXPECT_EQ(grid.cellWidth, grid.cellHeight) << "cells stay square";
        EXPECT_GE(grid.cellWidth, std::max(c.side, 1)) << "cells only ever grow";
        // Every point of the area, edges included, has its cell.
        const std::int32_t w = std::max(c.width, 0), h = std::max(c.height, 0);
        EXPECT_TRUE(grid.Contains(w / grid.cellWidth, h / grid.cellHeight));
    }
    // Areas that need no more cells than that keep the cell size they were given: the dialog's
    // smallest balls (radius 10, cells of 40) on a 3840 x 2160 screen.
    CollisionGrid grid;
    grid.BuildCells(3840, 2160, 40, 40);
    EXPECT_EQ(grid.cellWidth, 40);
    EXPECT_EQ(grid.columnCount, 97);
    EXPECT_EQ(grid.rowCount, 55);
}

TEST(Grid, LargerCellsStillFindEveryContact) {
    // Radius 1 on 65536 x 65536: the cells are far larger than four radii.
    const Rect huge{0, 0, 65536, 65536};
    Simulation sim(7);
    test::PrepareEmptyWorld(sim, huge, JustBounce, 1.0);
    ASSERT_GT(sim.grid.cellWidth, 4);
    // Two balls closing in across a cell border, and two inside one cell.
    const double border = sim.grid.cellWidth * 3.0;
    Ball& a = test::AddBall(sim, border - 2.0, 500.5, 1.0, 0.0);
    Ball& b = test::AddBall(sim, border + 2.0, 500.5, -1.0, 0.0);
    Ball& c = test::AddBall(sim, 100.0, 100.0, 0.0, 1.0);
    Ball& d = test::AddBall(sim, 100.0, 104.0, 0.0, -1.0);
    for (int frame = 0; frame < 3; ++frame) StepWorld(sim, huge);
    EXPECT_LT(a.nextVx, 0.0);
    EXPECT_GT(b.nextVx, 0.0);
    EXPECT_LT(c.nextVy, 0.0);
    EXPECT_GT(d.nextVy, 0.0);
}

TEST(RectExtents, HeldAtTheLimitsInsteadOfOverflowing) {
    struct Case {
        Rect r;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {Rect{0, 0, 1024, 768}, 1024, 768},
        {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MAX, INT_MAX},
        {Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, INT_MIN, INT_MIN},
        {Rect{-5, 10, -10, 5}, -5, -5},
        {Rect{INT_MIN, 0, -1, 0}, INT_MAX, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.r.Width(), c.width);
        EXPECT_EQ(c.r.Height(), c.height);
    }
    EXPECT_EQ(InflateRect(Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 1, 1), (Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
    EXPECT_EQ(InflateRect(Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, 1, 1), (Rect{INT_MAX - 1, INT_MAX - 1, INT_MIN + 1, INT_MIN + 1}));
    EXPECT_EQ(InflateRect(Rect{1, 2, 3, 4}, 1, 1), (Rect{0, 1, 4, 5}));
}

}  // namespace
}  // namespace vellora
