// The options dialog's decisions: its value boxes, the scenario descriptions and the two crowding
// checks; and the version text both dialogs show.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "saver/config/options_rules.h"
#include "saver/config/version_text.h"

namespace vellora {
namespace {

TEST(VersionTextTest, TrailingZeroFieldsDroppedDownToTwo) {
    struct Case {
        unsigned f1, f2, f3, f4;
        const char* text;
    };
    const Case cases[] = {
        {1, 2, 0, 0, "1.2"},       {1, 2, 3, 0, "1.2.3"},          {1, 2, 0, 4, "1.2.0.4"},
        {2, 0, 0, 0, "2.0"},       {0, 0, 0, 0, "0.0"},            {0, 0, 7, 0, "0.0.7"},
        // Each field is an unsigned 16-bit number.
        {65535, 65535, 65535, 65535, "65535.65535.65535.65535"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFileVersion((c.f1 << 16) | c.f2, (c.f3 << 16) | c.f4), c.text);
    }
    EXPECT_STREQ(kUnknownVersion, "Unknown");
}

TEST(OptionsRulesTest, ValueBoxTexts) {
    struct Case {
        Setting id;
        std::int32_t value;
        const char* text;
    };
    const Case cases[] = {
        // Gravity shows the acceleration in pixels per frame per frame, two decimals.
        {Setting::Gravity, 20, "1.00"},     {Setting::Gravity, 37, "1.85"},  {Setting::Gravity, 100, "5.00"},
        {Setting::Gravity, 0, "0.00"},      {Setting::Gravity, 1, "0.05"},   {Setting::Gravity, 3, "0.15"},
        {Setting::Gravity, -20, "-1.00"},
        // Every other slider shows its position.
        {Setting::NumBalls, 20, "20"},      {Setting::RefreshRate, 1, "1"},  {Setting::Colors, 127, "127"},
        {Setting::Velocity, -5, "-5"},      {Setting::BallSize, INT_MIN, "-2147483648"},
    };
    for (const Case& c : cases) EXPECT_EQ(ValueBoxText(c.id, c.value), c.text) << DefOf(c.id).key << c.value;
}

TEST(OptionsRulesTest, ScenarioDescriptions) {
    const char* expected[kScenarioChoices] = {
        "\"Just Bounce\" simply lets the balls bounce off of each other.  Collisions between balls do not "
        "change any attributes of the balls.",
        "\"Solo Good vs. Evil\" One ball, green with a white outline, is good, and a red ball with white outline "
        "is evil.  When either ball collides with another ball, it brings the other ball to its side by the "
        "designated degree.  The other ball turns red when evil, or green when good.",
        "\"Good vs. Evil\" Like the solo game above, except when the other ball is completely turned good or "
        "evil, that ball now corrupts other balls.",
        "\"Decay vs. Health\" The green-with-white-outline ball heals, and the red-with-white-outline ball "
        "decays the other balls they hit.  When balls decay, they become dimmer.  They die when they've turned "
        "completely black.",
        "\"Decay\" The red-with-white-outline ball decays any ball it hits.  Eventually only the red ball will "
        "remain.",
        "\"All Decay\" All collisions cause the balls to decay.  It's good to set Degrees to a high value so "
        "the balls last longer on this option.",
        "\"Random\" The computer will select one of the scenarios for you.",
    };
    for (int i = 0; i < kScenarioChoices; ++i) {
        ASSERT_NE(ScenarioDescription(i), nullptr) << i;
        EXPECT_STREQ(ScenarioDescription(i), expected[i]) << i;
    }
    // No selection (-1) and anything else that is not an entry leave the description as it was.
    for (int index : {-1, 7, 9, INT_MIN, INT_MAX}) EXPECT_EQ(ScenarioDescription(index), nullptr) << index;
}

StoredSettings Values(std::int32_t numBalls, std::int32_t ballSize, std::int32_t gravity) {
    return StoredSettings().Set(Setting::NumBalls, numBalls).Set(Setting::BallSize, ballSize).Set(Setting::Gravity, gravity);
}

TEST(OptionsRulesTest, CrowdingChecksAtTheirBoundaries) {
    struct Case {
        std::int32_t numBalls, ballSize, gravity, width, height;
        Crowding expected;
    };
    const Case cases[] = {
        // With gravity: 2 x r x N against the width, strictly less accepted.
        {10, 30, 1, 640, 480, Crowding::Accepted},            // 600 < 640
        {11, 30, 1, 640, 480, Crowding::SubFrameCollisions},  // 660
        {16, 20, 100, 640, 480, Crowding::SubFrameCollisions},  // 640 is not less than 640
        {15, 20, 100, 640, 480, Crowding::Accepted},
        // Without: 4 x N x r x r against nine tenths of the screen's area, strictly less accepted.
        {76, 30, 0, 640, 480, Crowding::Accepted},            // 273,600 < 276,480
        {77, 30, 0, 640, 480, Crowding::FillsScreen},         // 277,200
        // The largest values the sliders allow, on both sides.
        {100, 100, 0, 640, 480, Crowding::FillsScreen},
        {2, 10, 100, 640, 480, Crowding::Accepted},
        // Values that reached the store by other means do not wrap round into acceptance.
        {INT_MAX, INT_MAX, 0, 640, 480, Crowding::FillsScreen},
        {INT_MAX, INT_MAX, 1, 640, 480, Crowding::SubFrameCollisions},
        {INT_MIN, INT_MIN, 1, 640, 480, Crowding::SubFrameCollisions},
        {65536, 65536, 0, 1024, 768, Crowding::FillsScreen},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckCrowding(Values(c.numBalls, c.ballSize, c.gravity), c.width, c.height), c.expected)
            << c.numBalls << " balls of " << c.ballSize << ", gravity " << c.gravity;
    }
}

TEST(OptionsRulesTest, DefaultsAreAcceptedOnEveryScreenFromVga) {
    const StoredSettings defaults;
    const std::pair<int, int> screens[] = {{640, 480}, {800, 600}, {1024, 768}, {3840, 2160}, {7680, 4320}};
    for (auto [width, height] : screens)
        EXPECT_EQ(CheckCrowding(defaults, width, height), Crowding::Accepted) << width << "x" << height;
}

TEST(OptionsRulesTest, CrowdingMessages) {
    EXPECT_EQ(CrowdingMessage(Crowding::Accepted), nullptr);
    EXPECT_STREQ(CrowdingMessage(Crowding::SubFrameCollisions),
                 "Please decrease the number of balls or decrease their radius.  Currently, you've specified "
                 "parameters that guarantee multiple sub-frame collisions, and that might not be a good idea.");
    EXPECT_STREQ(CrowdingMessage(Crowding::FillsScreen),
                 "Please decrease the number of balls or decrease their radius.  Currently, you've specified "
                 "parameters that practically fill the screen with balls, and that might not be a good idea.");
    EXPECT_STREQ(kCrowdingCaption, "Please adjust parameters");
}

}  // namespace
}  // namespace vellora
