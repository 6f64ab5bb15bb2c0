#include "saver/config/settings.h"

#include <limits>

namespace vellora {

namespace {

constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kAll = std::numeric_limits<std::int32_t>::max();
constexpr double kGravityUnit = 0.05;        // pixels per frame per frame
constexpr double kFramesPerSceneUnit = 600;  // frames
// The longest scene whose length in frames still fits 32 bits.
constexpr std::int32_t kMaxSceneUnits = static_cast<std::int32_t>(0xFFFFFFFFu / kFramesPerSceneUnit);

// Safe ranges: the ball count stays below what world setup can place in reasonable time, the
// velocity spread and ball size stay positive (remainders and cell sizes are taken by them), the
// colour degrees stay positive and bounded (the palette gets 2 x value + 1 entries), the downward
// acceleration stays within the dialog's (a stronger one pins every ball to the floor), a scene
// lasts at least one unit and its length in frames fits 32 bits (so it never wraps to 0 and
// starts a new scene every frame), and the frame period stays within a second. The list settings
// keep every value: their meanings are defined for all of them.
constexpr SettingDef kTable[kSettingCount] = {
    {Setting::NumBalls, "NumBalls", 20, 2, 100, 0, 1000, 1.0},
    {Setting::Velocity, "Velocity", 10, 3, 40, 1, 1000, 1.0},
    {Setting::BallSize, "BallSize", 30, 10, 100, 1, 1000, 1.0},
    {Setting::Colors, "Colors", 2, 1, 127, 1, 127, 1.0},
    {Setting::Gravity, "Gravity", 0, 0, 100, 0, 100, kGravityUnit},
    {Setting::ScenarioCounter, "ScenarioCounter", 20, 1, 100, 1, kMaxSceneUnits, kFramesPerSceneUnit},
    {Setting::RefreshRate, "RefreshRate", 1, 3, 127, 0, 999, 1.0},
    {Setting::BallSizeSel, "BallSizeSel", 0, 0, 2, kAny, kAll, 1.0},
    {Setting::Game, "Game", 0, 0, 6, kAny, kAll, 1.0},
    {Setting::Sparks, "Sparks", 0, 0, 2, kAny, kAll, 1.0},
};

}  // namespace

const SettingDef& DefOf(Setting id) { return kTable[static_cast<int>(id)]; }

const SettingDef (&AllSettings())[kSettingCount] { return kTable; }

std::int32_t MemoryProfile::GetInt(const char* section, const char* key, std::int32_t defaultValue) const {
    auto it = values_.find({section, key});
    return it == values_.end() ? defaultValue : it->second;
}

bool MemoryProfile::WriteInt(const char* section, const char* key, std::int32_t value) {
    values_[{section, key}] = value;
    return true;
}

bool MemoryProfile::Has(const char* section, const char* key) const {
    return values_.count({section, key}) != 0;
}

void MemoryProfile::Erase(const char* section, const char* key) { values_.erase({section, key}); }

std::int32_t ReadSetting(const Profile& profile, Setting id) {
    const SettingDef& def = DefOf(id);
    return profile.GetInt(kSettingsSection, def.key, def.defaultValue);
}

std::int32_t ClampToSafe(Setting id, std::int32_t value) {
    const SettingDef& def = DefOf(id);
    if (value < def.safeMin) return def.safeMin;
    if (value > def.safeMax) return def.safeMax;
    return value;
}

std::int32_t ReadSafeSetting(const Profile& profile, Setting id) {
    return ClampToSafe(id, ReadSetting(profile, id));
}

bool WriteSetting(Profile& profile, Setting id, std::int32_t value) {
    return profile.WriteInt(kSettingsSection, DefOf(id).key, value);
}

StoredSettings::StoredSettings() {
    for (const SettingDef& def : kTable) values_[static_cast<int>(def.id)] = def.defaultValue;
}

StoredSettings StoredSettings::Read(const Profile& profile) {
    StoredSettings stored;
    for (const SettingDef& def : kTable) stored.Set(def.id, ReadSetting(profile, def.id));
    return stored;
}

bool StoredSettings::Write(Profile& profile) const {
    bool all = true;
    for (const SettingDef& def : kTable) all = WriteSetting(profile, def.id, Get(def.id)) && all;
    return all;
}

const SettingDef* FindSetting(const std::string& key) {
    for (const SettingDef& def : kTable)
        if (key == def.key) return &def;
    return nullptr;
}

}  // namespace vellora
