#include <gtest/gtest.h>

#include "saver/collide/scenario.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora {
namespace {

// Two balls with hand-set colours and levels under a given scenario; b is the lower-numbered one.
struct RulesFixture : ::testing::Test {
    Simulation sim{3};
    std::unique_ptr<Ball> MakeBall(std::int32_t index, ColorRef color, std::int32_t level) {
        auto ball = std::make_unique<Ball>(sim, 50.0, 50.0, index);
        ball->color = color;
        ball->colorLevel = level;
        return ball;
    }
    void Use(std::int32_t game, std::int32_t levels) {
        sim.settings.game = game;
        sim.settings.colors = levels;
        sim.world.palette = BuildPalette(levels);
    }
};

TEST_F(RulesFixture, ColourLevelRules) {
    const auto& P = [this](int level) { return sim.world.palette[level]; };
    struct Case {
        std::int32_t game;
        std::int32_t aIndex, aLevel, bIndex, bLevel;
        std::int32_t aLevelAfter, bLevelAfter;
        bool sparks;
    };
    // Five levels: 0 red .. 4 green. Special balls sit at -1.
    const Case cases[] = {
        {1, 5, 2, 0, -1, 1, -1, true},   // the red ball pulls toward red
        {1, 5, 0, 0, -1, 0, -1, true},   // already red: no change, sparks fly
        {1, 5, 2, 1, -1, 3, -1, true},   // the green ball pulls toward green
        {1, 5, 4, 1, -1, 4, -1, true},   // already green
        {1, 1, -1, 0, -1, -1, -1, false},  // red meets green
        {2, 1, -1, 0, -1, -1, -1, false},
        {1, 6, 0, 5, 2, 0, 2, false},   // two ordinary balls in Solo: nothing, no sparks
        {2, 6, 2, 5, 2, 2, 2, false},   // equal levels: nothing, no sparks
        {2, 6, 0, 5, 2, 0, 1, true},    // a red-end ball pulls b
        {2, 6, 4, 5, 2, 4, 3, true},    // a green-end ball pulls b
        {2, 6, 2, 5, 0, 1, 0, true},    // b at the red end pulls a
        {2, 6, 3, 5, 4, 4, 4, true},    // b at the green end pulls a
        {2, 6, 0, 5, 4, 1, 3, true},    // both ends pull each other, from the levels before
        {2, 6, 1, 5, 3, 1, 3, true},    // neither at an end: nothing, sparks still fly
    };
    for (const Case& c : cases) {
        Use(c.game, 5);
        auto a = MakeBall(c.aIndex, c.aLevel >= 0 ? P(c.aLevel) : kGreenBallColor, c.aLevel);
        auto b = MakeBall(c.bIndex, c.bLevel >= 0 ? P(c.bLevel) : kRedBallColor, c.bLevel);
        const ColorRef aBefore = a->color, bBefore = b->color;
        EXPECT_EQ(ApplyScenarioRules(sim, *a, *b), c.sparks) << c.game << ":" << c.aLevel << "/" << c.bLevel;
        EXPECT_EQ(a->colorLevel, c.aLevelAfter) << c.game << ":" << c.aLevel << "/" << c.bLevel;
        EXPECT_EQ(b->colorLevel, c.bLevelAfter) << c.game << ":" << c.aLevel << "/" << c.bLevel;
        EXPECT_EQ(a->color, c.aLevelAfter == c.aLevel ? aBefore : P(c.aLevelAfter));
        EXPECT_EQ(b->color, c.bLevelAfter == c.bLevel ? bBefore : P(c.bLevelAfter));
    }
}

TEST_F(RulesFixture, OneDegreeTurnsGreyFullyRedOrGreen) {
    Use(1, 3);
    auto red = MakeBall(0, kRedBallColor, -1);
    auto green = MakeBall(1, kGreenBallColor, -1);
    auto x = MakeBall(2, sim.world.palette[1], 1);
    auto y = MakeBall(3, sim.world.palette[1], 1);
    ApplyScenarioRules(sim, *x, *red);
    ApplyScenarioRules(sim, *y, *green);
    EXPECT_EQ(x->color, Rgb(255, 0, 0));
    EXPECT_EQ(y->color, Rgb(0, 255, 0));
}

TEST_F(RulesFixture, DecayAndHealRules) {
    struct Case {
        std::int32_t game, aIndex, bIndex;
        ColorRef aColor, bColor;
        std::int32_t degree;
        ColorRef aAfter, bAfter;
    };
    const ColorRef cyanHalf = Rgb(0, 127, 127);
    const Case cases[] = {
        {4, 2, 0, kYellow, kRedBallColor, 128, Rgb(127, 127, 0), kRedBallColor},  // red ball decays
        {4, 1, 0, kCyan, kRedBallColor, 128, Rgb(0, 127, 127), kRedBallColor},    // ball 1 is ordinary in 4
        {4, 3, 2, kYellow, kCyan, 128, kYellow, kCyan},                           // ordinary pair: nothing
        {3, 2, 1, cyanHalf, kGreenBallColor, 128, kCyan, kGreenBallColor},        // green heals, zero stays zero
        {3, 2, 0, cyanHalf, kRedBallColor, 128, kBlack, kRedBallColor},           // decayed to death
        {3, 1, 0, kGreenBallColor, kRedBallColor, -1, kGreenBallColor, kRedBallColor},  // red meets green
        {5, 3, 2, kYellow, kMagenta, 128, Rgb(127, 127, 0), Rgb(127, 0, 127)},    // both decay
        {5, 1, 0, Rgb(127, 127, 0), kCyan, 128, kBlack, Rgb(0, 127, 127)},        // ball 0 is ordinary in 5
        {5, 3, 2, kYellow, kCyan, 256, kBlack, kBlack},                           // one decay kills
    };
    for (const Case& c : cases) {
        Use(c.game, 2);
        auto a = MakeBall(c.aIndex, c.aColor, c.degree);
        auto b = MakeBall(c.bIndex, c.bColor, c.game == 5 ? c.degree : -1);
        EXPECT_TRUE(ApplyScenarioRules(sim, *a, *b));
        EXPECT_EQ(a->color, c.aAfter) << c.game << " " << c.aIndex << "/" << c.bIndex;
        EXPECT_EQ(b->color, c.bAfter) << c.game << " " << c.aIndex << "/" << c.bIndex;
    }
}

TEST(ColourArithmeticTest, DecayFloorsAtZeroAndHealKeepsZeroChannels) {
    EXPECT_EQ(DecayColor(Rgb(0, 127, 127), 128), kBlack);
    EXPECT_EQ(DecayColor(Rgb(255, 3, 200), 3), Rgb(252, 0, 197));
    EXPECT_EQ(HealColor(Rgb(0, 127, 127), 128), Rgb(0, 255, 255));
    EXPECT_EQ(HealColor(kBlack, 128), kBlack);  // a dead ball cannot be revived
    EXPECT_EQ(HealColor(Rgb(1, 0, 254), 3), Rgb(4, 0, 255));
}

TEST_F(RulesFixture, YellowDiesAtItsSecondContactInAllDecay) {
    Use(5, 2);
    auto a = MakeBall(3, kYellow, 128);
    auto b = MakeBall(2, kCyan, 128);
    ApplyScenarioRules(sim, *a, *b);
    EXPECT_NE(a->color, kBlack);
    ApplyScenarioRules(sim, *a, *b);
    EXPECT_EQ(a->color, kBlack);
    EXPECT_TRUE(IsDeadBall(5, a->color));
}

TEST(OutlineRulesTest, WhiteOutlinesAndDeadBallsByScenario) {
    struct Case {
        std::int32_t game;
        bool ball0, ball1, ball2;
    };
    const Case cases[] = {{0, false, false, false}, {1, true, true, false}, {2, true, true, false},
                          {3, true, true, false},   {4, true, false, false}, {5, true, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(HasWhiteOutline(c.game, 0), c.ball0) << c.game;
        EXPECT_EQ(HasWhiteOutline(c.game, 1), c.ball1) << c.game;
        EXPECT_EQ(HasWhiteOutline(c.game, 2), c.ball2) << c.game;
        EXPECT_EQ(IsDeadBall(c.game, kBlack), c.game >= 3) << c.game;
        EXPECT_FALSE(IsDeadBall(c.game, Rgb(1, 0, 0)));
    }
}

}  // namespace
}  // namespace vellora
