// The ten stored settings: their keys, defaults and ranges in one table, and the profile they live in.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vellora {

constexpr const char* kSettingsSection = "Settings";
// The per-user profile lives under Software\<this>\<module name without extension>\Settings.
constexpr const char* kRegistryKeyName = "Vellora Screen Saver";

// In table order: the order the readers read the keys and the options dialog writes them.
enum class Setting : int {
    NumBalls,
    Velocity,
    BallSize,
    Colors,
    Gravity,
    ScenarioCounter,
    RefreshRate,
    BallSizeSel,
    Game,
    Sparks,
};
constexpr int kSettingCount = 10;

struct SettingDef {
    Setting id;
    const char* key;
    std::int32_t defaultValue;  // what every reader takes when the key is missing
    std::int32_t dialogMin;     // what the options dialog can write
    std::int32_t dialogMax;
    // What the simulation accepts from the store: another program may have written anything, and
    // a value outside this range is held at its nearest end when it is read for use.
    std::int32_t safeMin;
    std::int32_t safeMax;
    // What one stored step is worth where the simulation uses it: "Gravity" counts in units of
    // 0.05 pixels per frame per frame, "ScenarioCounter" in units of 600 frames; the rest count 1.
    double unit;
};

const SettingDef& DefOf(Setting id);
const SettingDef (&AllSettings())[kSettingCount];

// GetProfileInt / WriteProfileInt semantics: signed 32-bit values by section and key, the caller's
// default when the value is missing.
class Profile {
public:
    virtual ~Profile() = default;
    virtual std::int32_t GetInt(const char* section, const char* key, std::int32_t defaultValue) const = 0;
    virtual bool WriteInt(const char* section, const char* key, std::int32_t value) = 0;
};

// A profile held in memory, for tests and tools.
class MemoryProfile : public Profile {
public:
    std::int32_t GetInt(const char* section, const char* key, std::int32_t defaultValue) const override;
    bool WriteInt(const char* section, const char* key, std::int32_t value) override;
    bool Has(const char* section, const char* key) const;
    void Erase(const char* section, const char* key);

private:
    std::map<std::pair<std::string, std::string>, std::int32_t> values_;
};

// The stored value of a setting, or its default when missing.
std::int32_t ReadSetting(const Profile& profile, Setting id);
// The same, held inside the setting's safe range.
std::int32_t ReadSafeSetting(const Profile& profile, Setting id);
std::int32_t ClampToSafe(Setting id, std::int32_t value);
bool WriteSetting(Profile& profile, Setting id, std::int32_t value);

// The ten values of a scene, in table order, each starting at its default. Tests, tools and
// benchmarks set them by name: StoredSettings().Set(Setting::NumBalls, 5).Set(Setting::Game, 2).
class StoredSettings {
public:
    StoredSettings();
    std::int32_t Get(Setting id) const { return values_[static_cast<int>(id)]; }
    StoredSettings& Set(Setting id, std::int32_t value) {
        values_[static_cast<int>(id)] = value;
        return *this;
    }
    // Every key from the profile, its default where missing.
    static StoredSettings Read(const Profile& profile);
    // All ten keys in table order; false when any write failed.
    bool Write(Profile& profile) const;

private:
    std::int32_t values_[kSettingCount];
};

// Finds a setting by its key, ignoring nothing (keys compare exactly). Null when unknown.
const SettingDef* FindSetting(const std::string& key);

}  // namespace vellora
