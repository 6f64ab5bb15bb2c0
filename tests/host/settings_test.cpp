#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "saver/config/settings.h"

namespace vellora {
namespace {

TEST(SettingsTest, KeyTableInReadingOrderWithDefaultsAndRanges) {
    struct Row {
        const char* key;
        std::int32_t def, lo, hi;
    };
    const Row rows[kSettingCount] = {
        {"NumBalls", 20, 2, 100},      {"Velocity", 10, 3, 40},       {"BallSize", 30, 10, 100},
        {"Colors", 2, 1, 127},         {"Gravity", 0, 0, 100},        {"ScenarioCounter", 20, 1, 100},
        {"RefreshRate", 1, 3, 127},    {"BallSizeSel", 0, 0, 2},      {"Game", 0, 0, 6},
        {"Sparks", 0, 0, 2},
    };
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDef& def = AllSettings()[i];
        EXPECT_EQ(static_cast<int>(def.id), i);
        EXPECT_STREQ(def.key, rows[i].key);
        EXPECT_EQ(def.defaultValue, rows[i].def) << def.key;
        EXPECT_EQ(def.dialogMin, rows[i].lo) << def.key;
        EXPECT_EQ(def.dialogMax, rows[i].hi) << def.key;
        // The dialog's range and the default are always accepted as they are.
        EXPECT_LE(def.safeMin, def.dialogMin) << def.key;
        EXPECT_GE(def.safeMax, def.dialogMax) << def.key;
        EXPECT_EQ(ClampToSafe(def.id, def.defaultValue), def.defaultValue) << def.key;
        EXPECT_EQ(FindSetting(def.key), &def);
    }
    EXPECT_EQ(FindSetting("numballs"), nullptr);
    EXPECT_EQ(FindSetting(""), nullptr);
}

TEST(SettingsTest, MissingKeysGiveDefaultsAndWrittenOnesReadBack) {
    MemoryProfile profile;
    for (const SettingDef& def : AllSettings()) EXPECT_EQ(ReadSetting(profile, def.id), def.defaultValue);
    EXPECT_TRUE(WriteSetting(profile, Setting::Game, 6));
    EXPECT_TRUE(WriteSetting(profile, Setting::Gravity, INT_MIN));
    EXPECT_EQ(ReadSetting(profile, Setting::Game), 6);
    EXPECT_EQ(ReadSetting(profile, Setting::Gravity), INT_MIN);
    EXPECT_TRUE(profile.Has(kSettingsSection, "Game"));
    // Sections are separate.
    EXPECT_EQ(profile.GetInt("Other", "Game", 42), 42);
}

TEST(SettingsTest, SafeRangesGuardWhatTheSimulationDividesBy) {
    struct Case {
        Setting id;
        std::int32_t stored, used;
    };
    const Case cases[] = {
        {Setting::Velocity, 0, 1},        {Setting::Velocity, -7, 1},     {Setting::Velocity, INT_MAX, 1000},
        {Setting::BallSize, 0, 1},        {Setting::BallSize, -1, 1},     {Setting::BallSize, 5000, 1000},
        {Setting::Colors, 0, 1},          {Setting::Colors, 128, 127},    {Setting::NumBalls, -5, 0},
        {Setting::NumBalls, 0, 0},        {Setting::NumBalls, 1 << 30, 1000},
        {Setting::RefreshRate, -1, 0},    {Setting::RefreshRate, 1, 1},
        // List values keep their meaning for every value: -1 stays -1 (the feature is on).
        {Setting::Sparks, -1, -1},        {Setting::BallSizeSel, 9, 9},   {Setting::Game, -1, -1},
    };
    for (const Case& c : cases) {
        MemoryProfile profile;
        WriteSetting(profile, c.id, c.stored);
        EXPECT_EQ(ReadSafeSetting(profile, c.id), c.used) << DefOf(c.id).key << "=" << c.stored;
        EXPECT_EQ(ReadSetting(profile, c.id), c.stored);
    }
}

}  // namespace
}  // namespace vellora
