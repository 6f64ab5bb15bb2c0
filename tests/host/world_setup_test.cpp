#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora {
namespace {

const Rect kScreen{0, 0, 1024, 768};

struct SetupFixture : ::testing::Test {
    MemoryProfile profile;
    Simulation sim{99};
    void Store(Setting id, std::int32_t value) { WriteSetting(profile, id, value); }
    bool Setup(const Rect& area = kScreen, bool preview = false) { return SetupWorld(sim, profile, area, preview); }
};

TEST(PaletteTest, RunsFromRedThroughGreyToGreen) {
    EXPECT_EQ(BuildPalette(3), (std::vector<ColorRef>{Rgb(255, 0, 0), Rgb(127, 127, 127), Rgb(0, 255, 0)}));
    EXPECT_EQ(BuildPalette(5), (std::vector<ColorRef>{Rgb(255, 0, 0), Rgb(191, 63, 63), Rgb(127, 127, 127),
                                                      Rgb(63, 191, 63), Rgb(0, 255, 0)}));
    EXPECT_EQ(BuildPalette(2), (std::vector<ColorRef>{Rgb(255, 0, 0), Rgb(0, 255, 0)}));
    // One entry would divide by zero: it is the red end.
    EXPECT_EQ(BuildPalette(1), (std::vector<ColorRef>{Rgb(255, 0, 0)}));
    const auto big = BuildPalette(255);
    ASSERT_EQ(big.size(), 255u);
    EXPECT_EQ(big[127], Rgb(127, 127, 127));
    EXPECT_EQ(big.back(), Rgb(0, 255, 0));
}

TEST_F(SetupFixture, EmptyStoreGivesTheDefaults) {
    EXPECT_TRUE(Setup());
    const SimSettings& s = sim.settings;
    EXPECT_EQ(s.numBalls, 20);
    EXPECT_EQ(s.velocity, 10);
    EXPECT_EQ(s.ballSize, 30.0);
    EXPECT_EQ(s.game, JustBounce);
    EXPECT_EQ(s.colors, 5);  // 2 x 2 + 1 levels
    EXPECT_EQ(s.accelY, 0.0);
    EXPECT_EQ(s.scenarioCounter, 20u * 600u);
    EXPECT_FALSE(s.sparks);
    EXPECT_FALSE(s.ballSizeSel);
    EXPECT_EQ(sim.world.balls.size(), 20u);
    EXPECT_EQ(sim.world.frameCount, 0u);
    EXPECT_EQ(sim.ballPrototype.radius, 30.0);
    EXPECT_EQ(sim.sparkRing.capacity, 30);
    EXPECT_EQ(sim.sparkRing.sparksPerBurst, 4);
    EXPECT_EQ(sim.sparkRing.LiveCount(), 0);
    for (std::size_t i = 0; i < sim.world.balls.size(); ++i) EXPECT_EQ(sim.world.balls[i]->index, static_cast<int>(i));
}

TEST_F(SetupFixture, PlacementAndGridOnAFullScreen) {
    Store(Setting::NumBalls, 100);
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        sim.rng.Seed(seed);
        Setup();
        EXPECT_EQ(sim.grid.columnCount, 9);
        EXPECT_EQ(sim.grid.rowCount, 7);
        EXPECT_EQ(sim.grid.cellWidth, 120);
        for (const auto& b : sim.world.balls) {
            EXPECT_GE(b->worldX, 30.0);
            EXPECT_LE(b->worldX, 993.0);
            EXPECT_GE(b->worldY, 30.0);
            EXPECT_LE(b->worldY, 737.0);
            EXPECT_EQ(b->worldX, std::floor(b->worldX));
            // Each ball is filed in the cell of its truncated centre.
            EXPECT_EQ(b->cell, &sim.grid.Cell(Trunc(b->worldX) / 120, Trunc(b->worldY) / 120));
        }
    }
}

TEST_F(SetupFixture, GameAndColorsGiveThePaletteAndStartingLevels) {
    Store(Setting::Colors, 2);
    Store(Setting::Game, 1);
    Setup();
    EXPECT_EQ(sim.world.palette.size(), 5u);
    for (std::size_t i = 2; i < sim.world.balls.size(); ++i) {
        EXPECT_EQ(sim.world.balls[i]->color, Rgb(127, 127, 127));
        EXPECT_EQ(sim.world.balls[i]->colorLevel, 2);
    }
    Store(Setting::Game, 3);
    Setup();
    EXPECT_EQ(sim.world.palette, (std::vector<ColorRef>{Rgb(255, 0, 0), Rgb(0, 255, 0)}));
}

TEST_F(SetupFixture, RandomListValuesDrawAnewEachScene) {
    Store(Setting::Game, 6);
    Store(Setting::Sparks, 2);
    Store(Setting::BallSizeSel, 2);
    bool seen[6] = {};
    int sparksOn = 0, mixed = 0;
    for (int scene = 0; scene < 200; ++scene) {
        Setup();
        ASSERT_GE(sim.settings.game, 0);
        ASSERT_LE(sim.settings.game, 5);
        seen[sim.settings.game] = true;
        sparksOn += sim.settings.sparks;
        mixed += sim.settings.ballSizeSel;
    }
    for (bool s : seen) EXPECT_TRUE(s);
    EXPECT_GT(sparksOn, 50);
    EXPECT_LT(sparksOn, 150);
    EXPECT_GT(mixed, 50);
    EXPECT_LT(mixed, 150);
    EXPECT_EQ(ReadSetting(profile, Setting::Game), 6);
}

TEST_F(SetupFixture, ConversionsOfGravitySceneLengthAndLists) {
    Store(Setting::Gravity, 4);
    Store(Setting::ScenarioCounter, 3);
    Store(Setting::Sparks, -1);
    Store(Setting::BallSizeSel, 7);
    Setup();
    EXPECT_DOUBLE_EQ(sim.settings.accelY, 0.2);
    EXPECT_EQ(sim.settings.scenarioCounter, 1800u);
    EXPECT_TRUE(sim.settings.sparks);
    EXPECT_TRUE(sim.settings.ballSizeSel);
}

TEST_F(SetupFixture, MixedSizesScaleMassButNotYetTheRadius) {
    Store(Setting::BallSizeSel, 1);
    Store(Setting::NumBalls, 60);
    Setup();
    int scaled = 0;
    for (const auto& b : sim.world.balls) {
        EXPECT_EQ(b->radius, 30.0);
        if (b->scale != 1.0) {
            ++scaled;
            EXPECT_GE(b->scale, 0.1 - 1e-12);
            EXPECT_LE(b->scale, 0.99 + 1e-12);
            EXPECT_DOUBLE_EQ(b->mass, 3.1415926535 * (b->scale * 30.0) * (b->scale * 30.0));
        } else {
            EXPECT_DOUBLE_EQ(b->mass, 3.1415926535 * 900.0);
        }
    }
    EXPECT_GT(scaled, 10);
    EXPECT_LT(scaled, 50);
}

TEST_F(SetupFixture, RetriesAvoidOverlapWhenThereIsRoom) {
    Store(Setting::NumBalls, 30);
    Setup();
    const auto& balls = sim.world.balls;
    for (std::size_t i = 0; i < balls.size(); ++i)
        for (std::size_t k = 0; k < i; ++k) {
            const double dx = balls[i]->worldX - balls[k]->worldX, dy = balls[i]->worldY - balls[k]->worldY;
            EXPECT_GT(dx * dx + dy * dy, 60.0 * 60.0) << i << " vs " << k;
        }
}

TEST_F(SetupFixture, RetriesGiveUpOnceTheCountPassesAHundred) {
    // A 100 x 100 area with balls of radius 30: the placement area is 40 x 40, so every new ball
    // overlaps every earlier one whatever it draws. Scenario 1 keeps balls 0 to 2 free of colour draws.
    Store(Setting::Game, 1);
    struct Case {
        std::int32_t numBalls;
        std::uint64_t draws;
    };
    // Each ball: 2 position + 2 velocity draws. Ball 1: one overlap per pass, 101 re-tries of 2
    // draws. Ball 2: two overlaps per pass, the count reaches 102 in its 51st pass: 102 re-tries.
    for (const Case& c : {Case{1, 4}, Case{2, 4 + 4 + 101 * 2}, Case{3, 4 + 4 + 101 * 2 + 4 + 102 * 2}}) {
        Store(Setting::NumBalls, c.numBalls);
        const std::uint64_t before = sim.rng.Draws();
        Setup(Rect{0, 0, 100, 100});
        EXPECT_EQ(sim.world.balls.size(), static_cast<std::size_t>(c.numBalls));
        EXPECT_EQ(sim.rng.Draws() - before, c.draws) << c.numBalls;
    }
}

TEST_F(SetupFixture, NoBallsLeavesAnEmptyWorld) {
    Store(Setting::NumBalls, 0);
    Setup();
    EXPECT_TRUE(sim.world.balls.empty());
    EXPECT_TRUE(sim.grid.HasCells());
}

TEST_F(SetupFixture, PreviewUsesFixedValuesAndLatchesOnce) {
    Store(Setting::NumBalls, 50);
    Store(Setting::Gravity, 2);
    Store(Setting::Sparks, 0);
    Store(Setting::Game, 4);
    Setup(Rect{0, 0, 152, 112}, true);
    const SimSettings& s = sim.settings;
    EXPECT_TRUE(sim.world.previewMode);
    EXPECT_EQ(s.numBalls, 3);
    EXPECT_EQ(s.ballSize, 10.0);
    EXPECT_EQ(s.velocity, 6);
    EXPECT_TRUE(s.sparks);
    EXPECT_EQ(s.game, JustBounce);
    EXPECT_EQ(s.scenarioCounter, 0x7FFFFFFFu);
    EXPECT_DOUBLE_EQ(s.accelY, 0.1);
    EXPECT_EQ(s.colors, 15);
    EXPECT_EQ(sim.world.palette.size(), 15u);
    EXPECT_EQ(sim.world.balls.size(), 3u);
    for (const auto& b : sim.world.balls) {
        EXPECT_GE(b->vx, -3.0);
        EXPECT_LE(b->vx, 2.0);
    }
    // A later setup passes false; the mode stays latched.
    Setup(Rect{0, 0, 152, 112}, false);
    EXPECT_TRUE(sim.world.previewMode);
    EXPECT_EQ(sim.world.balls.size(), 3u);
    // Repeated preview scenes cannot grow the level count without end.
    for (int i = 0; i < 40; ++i) Setup(Rect{0, 0, 152, 112}, false);
    EXPECT_LE(sim.settings.colors, 255);
}

TEST_F(SetupFixture, FullRunIsNotTurnedIntoPreviewLater) {
    Setup(kScreen, false);
    Setup(kScreen, true);
    EXPECT_FALSE(sim.world.previewMode);
    EXPECT_EQ(sim.settings.numBalls, 20);
}

// Values another program may have written: none may crash, hang or give a non-finite number.
TEST_F(SetupFixture, HostileStoredValuesAreGuarded) {
    struct Case {
        const char* key;
        std::int32_t value;
    };
    const Case cases[] = {
        {"Velocity", 0},     {"Velocity", -3},         {"Velocity", INT_MAX}, {"BallSize", 0},
        {"BallSize", -1},    {"BallSize", INT_MAX},    {"Colors", 0},         {"Colors", -5},
        {"Colors", INT_MAX}, {"NumBalls", INT_MAX},    {"NumBalls", INT_MIN}, {"Game", -1},
        {"Game", 7},         {"Game", INT_MIN},        {"Gravity", -1},       {"ScenarioCounter", 0},
        {"ScenarioCounter", INT_MIN},
    };
    for (std::int32_t game : {0, 2, 3, 5}) {
        for (const Case& c : cases) {
            MemoryProfile p;
            WriteSetting(p, Setting::Game, game);
            p.WriteInt(kSettingsSection, c.key, c.value);
            Simulation s(7);
            ASSERT_TRUE(SetupWorld(s, p, kScreen, false));
            EXPECT_GE(s.settings.velocity, 1) << c.key;
            EXPECT_GE(s.settings.ballSize, 1.0) << c.key;
            EXPECT_GE(s.settings.colors, 1) << c.key;
            EXPECT_GE(s.settings.game, 0) << c.key;
            EXPECT_LE(s.settings.game, 5) << c.key;
            EXPECT_TRUE(std::isfinite(s.settings.accelY));
            if (s.settings.game <= GoodVsEvil) {
                EXPECT_EQ(s.world.palette.size(), static_cast<std::size_t>(s.settings.colors));
            }
            for (const auto& b : s.world.balls) {
                EXPECT_TRUE(std::isfinite(b->worldX) && std::isfinite(b->worldY) && std::isfinite(b->mass));
                if (s.settings.game == GoodVsEvil && b->colorLevel >= 0) {
                    EXPECT_LT(b->colorLevel, s.settings.colors);
                }
            }
        }
    }
}

TEST_F(SetupFixture, AreaTooSmallForOneBallRunsEmpty) {
    for (const Rect& area : {Rect{0, 0, 60, 500}, Rect{0, 0, 500, 60}, Rect{0, 0, 0, 0}, Rect{0, 0, -40, -40}}) {
        Setup(area);
        EXPECT_TRUE(sim.world.balls.empty()) << area.right << "x" << area.bottom;
        EXPECT_TRUE(sim.grid.HasCells());
    }
    Setup(Rect{0, 0, 61, 61});
    EXPECT_EQ(sim.world.balls.size(), 20u);
}

TEST_F(SetupFixture, NewSceneReplacesTheOldWorld) {
    Setup();
    sim.world.frameCount = 77;
    Store(Setting::NumBalls, 5);
    Setup();
    EXPECT_EQ(sim.world.balls.size(), 5u);
    EXPECT_EQ(sim.world.frameCount, 0u);
    TeardownWorld(sim);
    EXPECT_TRUE(sim.world.balls.empty());
    EXPECT_TRUE(sim.world.palette.empty());
}

}  // namespace
}  // namespace vellora
