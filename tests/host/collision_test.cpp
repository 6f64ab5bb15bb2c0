#include <gtest/gtest.h>

#include <cmath>

#include "saver/collide/collision.h"
#include "saver/sim/sim_state.h"
#include "test_world.h"

namespace vellora {
namespace {

const Rect kArea{0, 0, 1000, 800};

// Balls of radius 10 placed by hand. Positions are "after this frame's move": the collision
// routine looks back along vx, vy to where each ball was at the start of the frame.
struct CollideFixture : ::testing::Test {
    Simulation sim{11};
    void Prepare(std::int32_t game = JustBounce, bool sparks = false) {
        test::PrepareEmptyWorld(sim, kArea, game, 10.0, sparks);
    }
    Ball& Add(double x, double y, double vx, double vy) { return test::AddBall(sim, x, y, vx, vy); }
    // Searches every cell, so a test need not care which cell each ball landed in.
    void Collide(Ball& a) {
        for (std::int32_t i = 0; i < sim.grid.columnCount; ++i)
            for (std::int32_t j = 0; j < sim.grid.rowCount; ++j) CollideBallWithCell(sim, a, sim.grid.Cell(i, j), kArea);
    }
};

TEST_F(CollideFixture, EqualBallsMeetingHeadOnExchangeVelocities) {
    Prepare();
    Ball& b = Add(100.0, 100.0, 1.0, 0.0);
    Ball& a = Add(120.0, 100.0, -1.0, 0.0);  // exactly touching now, 24 apart before the move
    Collide(a);
    EXPECT_DOUBLE_EQ(a.nextVx, 1.0);
    EXPECT_DOUBLE_EQ(b.nextVx, -1.0);
    EXPECT_NEAR(a.nextVy, 0.0, 1e-12);
    EXPECT_NEAR(b.nextVy, 0.0, 1e-12);
    // Moved back to the moment of contact: the gap of 2 closed at relative speed 2, t = 1.
    EXPECT_DOUBLE_EQ(a.worldX, 120.0);
    EXPECT_DOUBLE_EQ(b.worldX, 100.0);
}

TEST_F(CollideFixture, PlacementAtTheMomentOfContact) {
    Prepare();
    // Before the move: b at 90, a at 130 (40 apart); after: b at 100, a at 115 (15 apart).
    Ball& b = Add(100.0, 100.0, 10.0, 0.0);
    Ball& a = Add(115.0, 100.0, -15.0, 0.0);
    Collide(a);
    // The gap of 20 closed at 25 px/frame: t = 0.8.
    EXPECT_DOUBLE_EQ(b.worldX, 90.0 + 0.8 * 10.0);
    EXPECT_DOUBLE_EQ(a.worldX, 130.0 - 0.8 * 15.0);
    EXPECT_NEAR(a.worldX - b.worldX, 20.0, 1e-9);
}

TEST_F(CollideFixture, OnlyNewContactsCount) {
    Prepare(GoodVsEvil, true);
    sim.world.palette = {Rgb(255, 0, 0), Rgb(127, 127, 127), Rgb(0, 255, 0)};
    sim.settings.colors = 3;
    Ball& red = Add(100.0, 100.0, 0.0, 0.0);  // ball 0, the red ball
    Add(900.0, 700.0, 0.0, 0.0);              // ball 1, far away
    Ball& a = Add(115.0, 100.0, -1.0, 0.0);   // overlapped already before the move (16 < 20)
    a.colorLevel = 1;
    a.color = sim.world.palette[1];
    const double x = a.worldX;
    Collide(a);
    EXPECT_EQ(a.colorLevel, 1);
    EXPECT_EQ(a.worldX, x);
    EXPECT_EQ(a.nextVx, -1.0);
    EXPECT_EQ(red.nextVx, 0.0);
    EXPECT_EQ(sim.sparkRing.LiveCount(), 0);
}

TEST_F(CollideFixture, TouchingExactlyCountsAndApartDoesNot) {
    Prepare();
    Ball& b = Add(100.0, 100.0, 0.0, 0.0);
    Ball& a = Add(120.0, 100.0, -5.0, 0.0);
    Collide(a);
    // Equal masses: a stops and b takes its velocity.
    EXPECT_DOUBLE_EQ(a.nextVx, 0.0);
    EXPECT_DOUBLE_EQ(b.nextVx, -5.0);

    Ball& d = Add(400.0, 100.0, 0.0, 0.0);
    Ball& c = Add(420.0001, 100.0, -5.0, 0.0);
    Collide(c);
    EXPECT_EQ(c.nextVx, -5.0);
    EXPECT_EQ(d.nextVx, 0.0);
}

TEST_F(CollideFixture, SlowContactsAreNotRepositionedButStillPushed) {
    Prepare(JustBounce, true);
    Ball& b = Add(100.0, 100.0, 0.0, 0.0);
    Ball& a = Add(119.9, 100.0, -0.15, 0.0);  // relative speed 0.15 < 0.2
    Collide(a);
    EXPECT_EQ(a.worldX, 119.9);
    EXPECT_EQ(b.worldX, 100.0);
    EXPECT_DOUBLE_EQ(b.nextVx, -0.15);
    EXPECT_EQ(sim.sparkRing.LiveCount(), 1);
}

TEST_F(CollideFixture, PlacementIsHeldInsideTheArea) {
    Prepare();
    // a passed through b in one big step; moving back to first touch would put it left of x = 10.
    Ball& b = Add(12.0, 100.0, 0.0, 0.0);
    Ball& a = Add(20.0, 100.0, 30.0, 0.0);  // from x = -10: 22 apart, t = 2 / 30
    Collide(a);
    EXPECT_DOUBLE_EQ(a.worldX, 10.0);
    EXPECT_DOUBLE_EQ(b.worldX, 12.0);
    // The same at the bottom edge.
    Ball& d = Add(500.0, 788.0, 0.0, 0.0);
    Ball& c = Add(500.0, 780.0, 0.0, -30.0);  // from y = 810
    Collide(c);
    EXPECT_DOUBLE_EQ(c.worldY, 790.0);
    EXPECT_DOUBLE_EQ(d.worldY, 788.0);
}

TEST_F(CollideFixture, PairIsHandledOnlyFromItsHigherNumberedBall) {
    Prepare(JustBounce, true);
    Ball& b = Add(100.0, 100.0, 1.0, 0.0);
    Ball& a = Add(120.0, 100.0, -1.0, 0.0);
    Collide(b);  // the lower-numbered ball finds a but leaves the pair alone
    EXPECT_EQ(b.nextVx, 1.0);
    EXPECT_EQ(sim.sparkRing.LiveCount(), 0);
    Collide(a);
    EXPECT_EQ(b.nextVx, -1.0);
    EXPECT_EQ(sim.sparkRing.LiveCount(), 1);
}

TEST_F(CollideFixture, DeadBallsPassThroughButTheKillingContactStillPushes) {
    Prepare(AllDecay, false);
    sim.settings.colors = 1;
    Ball& b = Add(100.0, 100.0, 1.0, 0.0);
    Ball& a = Add(120.0, 100.0, -1.0, 0.0);
    a.color = kYellow;
    b.color = kCyan;
    a.colorLevel = b.colorLevel = 256;
    Collide(a);
    EXPECT_EQ(a.color, kBlack);
    EXPECT_EQ(b.color, kBlack);
    EXPECT_DOUBLE_EQ(a.nextVx, 1.0);  // the contact that killed them still pushed them

    // Later contacts pass through a dead ball: no push, no colour change.
    Ball& d = Add(300.0, 100.0, 1.0, 0.0);
    Ball& c = Add(320.0, 100.0, -1.0, 0.0);
    d.color = kBlack;
    const ColorRef cColor = c.color;
    Collide(c);
    EXPECT_EQ(c.nextVx, -1.0);
    EXPECT_EQ(d.nextVx, 1.0);
    EXPECT_EQ(c.color, cColor);
}

TEST_F(CollideFixture, FullRingStillPushes) {
    Prepare(JustBounce, true);
    while (Spark* s = sim.sparkRing.AcquireBurst()) sim.sparkRing.StartBurst(s, 0, 0, sim.rng);
    ASSERT_EQ(sim.sparkRing.LiveCount(), 29);
    Ball& b = Add(100.0, 100.0, 1.0, 0.0);
    Ball& a = Add(120.0, 100.0, -1.0, 0.0);
    const auto draws = sim.rng.Draws();
    Collide(a);
    EXPECT_EQ(sim.rng.Draws(), draws);  // no spark directions drawn
    EXPECT_DOUBLE_EQ(b.nextVx, -1.0);
}

TEST_F(CollideFixture, SparksStartAtTheRimFacingTheOtherBall) {
    Prepare(JustBounce, true);
    Add(100.0, 100.0, 0.0, 1.0);
    Ball& a = Add(100.0, 120.0, 0.0, -1.0);
    Collide(a);
    ASSERT_EQ(sim.sparkRing.LiveCount(), 1);
    const Spark* burst = sim.sparkRing.bursts[0];
    for (int i = 0; i < kSparksPerBurst; ++i) {
        EXPECT_EQ(burst[i].x, 100);
        EXPECT_EQ(burst[i].y, 110);
    }
}

TEST_F(CollideFixture, SpeedSumIsKeptAndLighterBallTakesMore) {
    Prepare();
    Ball& b = Add(100.0, 100.0, 2.0, 1.0);
    Ball& a = Add(117.0, 108.0, -3.0, -0.5);
    b.mass *= 4.0;
    const double before = std::hypot(a.vx, a.vy) + std::hypot(b.vx, b.vy);
    Collide(a);
    const double after = std::hypot(a.nextVx, a.nextVy) + std::hypot(b.nextVx, b.nextVy);
    EXPECT_NEAR(after, before, 1e-9);
    EXPECT_GT(std::hypot(a.nextVx - a.vx, a.nextVy - a.vy), std::hypot(b.nextVx - b.vx, b.nextVy - b.vy));
}

TEST_F(CollideFixture, PairBroughtToRestStaysFinite) {
    Prepare();
    // The push (+2 for a, -2 for b) exactly cancels the next velocities: there is no speed to
    // rescale, and the pair must not get a non-finite velocity.
    Ball& b = Add(100.0, 100.0, 1.0, 0.0);
    Ball& a = Add(120.0, 100.0, -1.0, 0.0);
    a.nextVx = -2.0;
    b.nextVx = 2.0;
    Collide(a);
    for (double v : {a.nextVx, a.nextVy, b.nextVx, b.nextVy}) {
        EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(v, 0.0);
    }
}

}  // namespace
}  // namespace vellora
