#include <gtest/gtest.h>

#include <cmath>

#include "saver/app/frame_tick.h"
#include "saver/collide/collision.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/step.h"
#include "alloc_counter.h"
#include "test_world.h"

namespace vellora {
namespace {

const Rect kArea{0, 0, 1000, 800};

struct MoveCase {
    const char* what;
    double x, y, vx, vy, accel;
    double x1, y1, vx1, vy1, nextVx1, nextVy1;
};

TEST(MoveBallTest, EdgeBouncesTestOnlyTheEdgeMovedTowards) {
    // Radius 10 in a 1000 x 800 area.
    const MoveCase cases[] = {
        {"touching the right edge exactly is no bounce", 989.0, 400.0, 1.0, 0.0, 0.0, 990.0, 400.0, 1.0, 0.0, 1.0, 0.0},
        {"0.5 beyond the right edge", 989.5, 400.0, 1.0, 0.0, 0.0, 990.0, 400.0, 1.0, 0.0, -1.0, 0.0},
        {"beyond the left edge", 12.0, 400.0, -3.0, 0.0, 0.0, 10.0, 400.0, -3.0, 0.0, 3.0, 0.0},
        {"bottom edge with vy 3", 500.0, 789.0, 0.0, 3.0, 0.0, 500.0, 790.0, 0.0, 3.0, 0.0, -3.0},
        {"top edge", 500.0, 11.0, 0.0, -2.0, 0.0, 500.0, 10.0, 0.0, -2.0, 0.0, 2.0},
        {"a corner bounces both ways", 988.0, 788.0, 5.0, 5.0, 0.0, 990.0, 790.0, 5.0, 5.0, -5.0, -5.0},
        // Moving away from an edge the ball is already beyond: only the edge ahead is tested.
        {"vx 0 never tests left or right", 5.0, 400.0, 0.0, 0.0, 0.0, 5.0, 400.0, 0.0, 0.0, 0.0, 0.0},
        {"moving right while beyond the left edge", 5.0, 400.0, 1.0, 0.0, 0.0, 6.0, 400.0, 1.0, 0.0, 1.0, 0.0},
        {"gravity acts through nextVy", 500.0, 400.0, 0.0, 0.0, 0.2, 500.0, 400.2, 0.0, 0.2, 0.0, 0.2},
    };
    Simulation sim;
    sim.ballPrototype.radius = 10.0;
    sim.settings.game = JustBounce;
    for (const MoveCase& c : cases) {
        Ball ball(sim, c.x, c.y, 0);
        ball.nextVx = c.vx;
        ball.nextVy = c.vy;
        MoveBall(ball, c.accel, kArea);
        EXPECT_DOUBLE_EQ(ball.worldX, c.x1) << c.what;
        EXPECT_DOUBLE_EQ(ball.worldY, c.y1) << c.what;
        EXPECT_DOUBLE_EQ(ball.vx, c.vx1) << c.what;
        EXPECT_DOUBLE_EQ(ball.vy, c.vy1) << c.what;
        EXPECT_DOUBLE_EQ(ball.nextVx, c.nextVx1) << c.what;
        EXPECT_DOUBLE_EQ(ball.nextVy, c.nextVy1) << c.what;
    }
}

TEST(MoveBallTest, GravityAcceleratesAndABounceCarriesIntoTheNextFrame) {
    Simulation sim;
    sim.ballPrototype.radius = 10.0;
    Ball ball(sim, 500.0, 100.0, 0);
    ball.nextVx = ball.nextVy = 0.0;
    const double speeds[] = {0.2, 0.4, 0.6}, falls[] = {0.2, 0.6, 1.2};
    for (int f = 0; f < 3; ++f) {
        MoveBall(ball, 0.2, kArea);
        EXPECT_NEAR(ball.vy, speeds[f], 1e-12);
        EXPECT_NEAR(ball.worldY - 100.0, falls[f], 1e-12);
    }
    Ball falling(sim, 500.0, 788.0, 0);
    falling.nextVx = 0.0;
    falling.nextVy = 2.8;
    MoveBall(falling, 0.2, kArea);  // vy 3.0 hits the bottom
    EXPECT_DOUBLE_EQ(falling.nextVy, -3.0);
    MoveBall(falling, 0.2, kArea);
    EXPECT_DOUBLE_EQ(falling.vy, -2.8);
}

TEST(AllocCounterTest, SeesAnAllocation) {
    test::StartCountingAllocations();
    void* p = ::operator new(16);
    const long n = test::StopCountingAllocations();
    ::operator delete(p);
    EXPECT_EQ(n, 1);
}

struct StepFixture : ::testing::Test {
    Simulation sim{21};
    void Prepare(double ballSize = 30.0, std::int32_t game = JustBounce, bool sparks = false) {
        test::PrepareEmptyWorld(sim, kArea, game, ballSize, sparks);
    }
};

TEST_F(StepFixture, QuarterRuleChoosesTheNeighbourCells) {
    // Cells of 120. A resting ball of the higher index at x 59.9 searches only its own cell and the
    // one below; at 60.0 it lies in the right half and also finds the balls in column 1.
    struct Case {
        double x;
        bool findsRight;
    };
    for (const Case& c : {Case{59.9, false}, Case{60.0, true}}) {
        Simulation s(1);
        test::PrepareEmptyWorld(s, kArea, JustBounce, 30.0, false);
        // The partner ends its move just across the cell border, in column 1; it was out of
        // reach before the move, so the contact is new.
        Ball& partner = test::AddBall(s, 146.0, 70.0, -25.0, 0.0);
        Ball& ball = test::AddBall(s, c.x, 70.0, 0.0, 0.0);
        ball.radius = partner.radius = 40.0;
        StepWorld(s, kArea);
        ASSERT_EQ(partner.cell, &s.grid.Cell(1, 0));
        EXPECT_EQ(partner.nextVx != -25.0, c.findsRight) << c.x;
        EXPECT_EQ(ball.nextVx != 0.0, c.findsRight) << c.x;
    }
}

TEST_F(StepFixture, TouchingPairsAcrossCellsAreFoundFromTheirHigherBall) {
    // Many random pairs of touching balls across every kind of cell border: the step must handle
    // each new contact exactly once whichever cell and quarter each ball lies in.
    Random r(77);
    for (int trial = 0; trial < 300; ++trial) {
        Simulation s(trial);
        test::PrepareEmptyWorld(s, kArea, JustBounce, 30.0, false);
        const double x = 40 + r.Next() % 900, y = 40 + r.Next() % 700;
        const double angle = (r.Next() % 628) / 100.0;
        Ball& b = test::AddBall(s, x, y, 0.0, 0.0);
        const double d = 59.0;  // touching after the move, 61 apart before it
        Ball& a = test::AddBall(s, x + d * std::cos(angle) + 2 * std::cos(angle),
                                y + d * std::sin(angle) + 2 * std::sin(angle), -2 * std::cos(angle),
                                -2 * std::sin(angle));
        if (a.worldX < 31 || a.worldX > 969 || a.worldY < 31 || a.worldY > 769) continue;
        StepWorld(s, kArea);
        EXPECT_NE(b.nextVx * b.nextVx + b.nextVy * b.nextVy, 0.0) << "trial " << trial;
    }
}

TEST_F(StepFixture, WithoutBallsOnlySparksAdvance) {
    Prepare(30.0, JustBounce, true);
    Spark* burst = sim.sparkRing.AcquireBurst();
    sim.sparkRing.StartBurst(burst, 10, 10, sim.rng);
    StepWorld(sim, kArea);
    EXPECT_EQ(burst[0].life, kSparkLife - 1);
}

TEST_F(StepFixture, BallsAreUpdatedAndRefiledEachFrame) {
    Prepare(30.0);
    Ball& ball = test::AddBall(sim, 118.0, 60.0, 5.0, 0.0);
    ball.scale = 0.5;
    StepWorld(sim, kArea);
    EXPECT_DOUBLE_EQ(ball.worldX, 123.0);
    EXPECT_EQ(ball.cell, &sim.grid.Cell(1, 0));
    EXPECT_DOUBLE_EQ(ball.radius, 15.0);
    EXPECT_EQ(ball.bounds, (Rect{108, 45, 138, 75}));
}

TEST_F(StepFixture, StepsOfABusyWorldAllocateNothing) {
    MemoryProfile profile;
    WriteSetting(profile, Setting::NumBalls, 100);
    WriteSetting(profile, Setting::Sparks, 1);
    WriteSetting(profile, Setting::Gravity, 4);
    WriteSetting(profile, Setting::Game, 2);
    WriteSetting(profile, Setting::BallSizeSel, 1);
    SetupWorld(sim, profile, kArea, false);
    int maxLive = 0;
    test::StartCountingAllocations();
    for (int f = 0; f < 2000; ++f) {
        StepWorld(sim, kArea);
        if (sim.sparkRing.LiveCount() > maxLive) maxLive = sim.sparkRing.LiveCount();
    }
    EXPECT_EQ(test::StopCountingAllocations(), 0);
    EXPECT_GT(maxLive, 5);  // the world was busy: collisions threw sparks
}

TEST_F(StepFixture, TickCountsFramesAndStartsTheNextSceneAtItsLength) {
    MemoryProfile profile;
    WriteSetting(profile, Setting::ScenarioCounter, 1);
    WriteSetting(profile, Setting::NumBalls, 4);
    WriteSetting(profile, Setting::Game, 6);
    SetupWorld(sim, profile, kArea, false);
    for (int f = 1; f < 600; ++f) {
        EXPECT_FALSE(TickFrame(sim, profile, kArea, nullptr));
        EXPECT_EQ(sim.world.frameCount, static_cast<std::uint32_t>(f));
    }
    WriteSetting(profile, Setting::NumBalls, 7);  // read again for the new scene
    EXPECT_TRUE(TickFrame(sim, profile, kArea, nullptr));
    EXPECT_EQ(sim.world.frameCount, 0u);
    EXPECT_EQ(sim.world.balls.size(), 7u);
}

}  // namespace
}  // namespace vellora
