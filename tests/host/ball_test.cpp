#include <gtest/gtest.h>

#include <set>

#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora {
namespace {

// A simulation whose settings and palette are set by hand, as world setup leaves them.
struct BallFixture : ::testing::Test {
    Simulation sim{1234};
    void Use(std::int32_t game, std::int32_t colors, std::int32_t velocity = 10) {
        sim.settings.game = game;
        sim.settings.colors = colors;
        sim.settings.velocity = velocity;
        sim.world.palette = BuildPalette(colors);
    }
};

TEST_F(BallFixture, DrawsVelocityThenColoursInOrder) {
    struct Case {
        std::int32_t game, index;
        int colourDraws;
    };
    const Case cases[] = {{0, 0, 3}, {0, 5, 3}, {1, 0, 0}, {1, 1, 0}, {2, 4, 0},
                          {3, 1, 0}, {3, 2, 1}, {4, 1, 1}, {5, 0, 1}, {5, 1, 1}};
    for (const Case& c : cases) {
        Use(c.game, c.game < 3 ? 5 : 2);
        Random expected = sim.rng;
        Ball ball(sim, 100.0, 100.0, c.index);
        const int ex = expected.Next() % 10 - 5;
        const int ey = expected.Next() % 10 - 5;
        EXPECT_EQ(ball.vx, ex) << c.game << "/" << c.index;
        EXPECT_EQ(ball.vy, ey);
        EXPECT_EQ(ball.nextVx, ball.vx);
        EXPECT_EQ(ball.nextVy, ball.vy);
        if (c.game == 0) {
            const std::uint32_t blue = expected.Next() % 175 + 80;
            const std::uint32_t green = expected.Next() % 175 + 80;
            const std::uint32_t red = expected.Next() % 175 + 80;
            EXPECT_EQ(ball.color, Rgb(red, green, blue));
        } else {
            for (int i = 0; i < c.colourDraws; ++i) expected.Next();
        }
        // The generators are in step again only if the ball drew exactly as many numbers.
        EXPECT_EQ(sim.rng.Next(), expected.Next()) << c.game << "/" << c.index;
    }
}

TEST_F(BallFixture, ColourAndLevelByScenarioAndIndex) {
    struct Case {
        std::int32_t game, colors, index;
        bool special;
        ColorRef color;  // for the fixed colours; 0 means "one of the bright three"
        std::int32_t level;
    };
    const Case cases[] = {
        {1, 5, 0, true, kRedBallColor, -1},    {1, 5, 1, true, kGreenBallColor, -1},
        {1, 5, 2, false, Rgb(127, 127, 127), 2}, {2, 3, 7, false, Rgb(127, 127, 127), 1},
        {3, 7, 0, true, kRedBallColor, -1},    {3, 7, 1, true, kGreenBallColor, -1},
        {3, 7, 2, false, 0, 37},               {4, 7, 0, true, kRedBallColor, -1},
        {4, 2, 1, false, 0, 128},              {5, 1, 0, false, 0, 256},
        {5, 127, 1, false, 0, 3},
    };
    for (const Case& c : cases) {
        Use(c.game, c.colors);
        Ball ball(sim, 50.0, 50.0, c.index);
        EXPECT_EQ(ball.colorLevel, c.level) << c.game << "/" << c.index;
        if (c.color != 0) {
            EXPECT_EQ(ball.color, c.color) << c.game << "/" << c.index;
        } else {
            EXPECT_TRUE(ball.color == kYellow || ball.color == kMagenta || ball.color == kCyan)
                << std::hex << ball.color;
        }
    }
}

TEST_F(BallFixture, ScenarioZeroChannelsStayInRange) {
    Use(0, 5);
    for (int i = 0; i < 500; ++i) {
        Ball ball(sim, 50.0, 50.0, i % 3);
        EXPECT_EQ(ball.colorLevel, 0);
        for (std::uint32_t ch : {RedOf(ball.color), GreenOf(ball.color), BlueOf(ball.color)}) {
            EXPECT_GE(ch, 80u);
            EXPECT_LE(ch, 254u);
        }
    }
}

TEST_F(BallFixture, VelocityComponentsSpanTheirRange) {
    struct Case {
        std::int32_t velocity, lo, hi;
    };
    for (const Case& c : {Case{1, 0, 0}, Case{6, -3, 2}, Case{7, -3, 3}, Case{10, -5, 4}}) {
        Use(1, 3, c.velocity);
        std::set<int> seen;
        for (int i = 0; i < 400; ++i) {
            Ball ball(sim, 50.0, 50.0, 3);
            seen.insert(static_cast<int>(ball.vx));
            seen.insert(static_cast<int>(ball.vy));
        }
        EXPECT_EQ(*seen.begin(), c.lo) << c.velocity;
        EXPECT_EQ(*seen.rbegin(), c.hi) << c.velocity;
        EXPECT_EQ(static_cast<int>(seen.size()), c.hi - c.lo + 1);
    }
}

TEST_F(BallFixture, MassAndRadiusFollowThePrototype) {
    Use(0, 5);
    sim.ballPrototype.radius = 30.0;
    Ball ball(sim, 10.0, 10.0, 0);
    EXPECT_DOUBLE_EQ(ball.radius, 30.0);
    EXPECT_DOUBLE_EQ(ball.mass, 3.1415926535 * 900.0);
    EXPECT_EQ(ball.index, 0);
    EXPECT_EQ(ball.cell, nullptr);
    EXPECT_EQ(ball.nextInCell, nullptr);
}

TEST_F(BallFixture, UpdateAppliesScaleAndShiftsBounds) {
    Use(0, 5);
    sim.ballPrototype.radius = 20.0;
    Ball ball(sim, 100.0, 100.0, 0);
    ball.scale = 0.5;
    EXPECT_DOUBLE_EQ(ball.radius, 20.0);
    const Rect before = ball.bounds;
    ball.Update();
    EXPECT_DOUBLE_EQ(ball.radius, 10.0);
    EXPECT_EQ(ball.bounds, (Rect{90, 90, 110, 110}));
    EXPECT_EQ(ball.prevBounds, before);
    // Toward zero on both sides of the origin.
    ball.worldX = -0.5;
    ball.worldY = 10.9;
    ball.Update();
    EXPECT_EQ(ball.bounds, (Rect{-10, 0, 9, 20}));
}

}  // namespace
}  // namespace vellora
