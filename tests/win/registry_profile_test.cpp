// The registry profile against values written straight into the registry, and the settings the
// drawing window takes from it.
#include "saver/config/registry_profile.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "saver/sim/sim_state.h"
#include "test_support.h"

using vellora::RegistryProfile;

namespace {

constexpr const char* kTestKey = "Vellora Test Store";

// Deletes Software\<kTestKey> and everything below it.
void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            RegCloseKey(key);
            DeleteTree(root, path + "\\" + name);
            if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

class RegistryProfileTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_CURRENT_USER, std::string("Software\\") + kTestKey); }
    void TearDown() override { SetUp(); }

    static const char* SettingsPath() { return "Software\\Vellora Test Store\\TestSaver\\Settings"; }
    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsPath(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void StoreDword(const char* name, DWORD value) { Store(name, REG_DWORD, &value, sizeof value); }

    RegistryProfile profile_{kTestKey, "TestSaver"};
};

}  // namespace

TEST_F(RegistryProfileTest, LivesUnderTheRegistryKeyAndTheApplicationName) {
    EXPECT_EQ(profile_.SectionPath("Settings"), SettingsPath());
    EXPECT_EQ(RegistryProfile::RunningModuleName(), "vellora_win_tests");
}

TEST_F(RegistryProfileTest, ReadsStoredValuesAndTheCallersDefaultOtherwise) {
    EXPECT_EQ(profile_.GetInt("Settings", "NumBalls", 20), 20) << "no key at all";
    StoreDword("NumBalls", 42);
    StoreDword("Gravity", 0xFFFFFFFFu);
    Store("BallSize", REG_SZ, "55", 3);
    const std::uint64_t wide = 7;
    Store("Colors", REG_QWORD, &wide, sizeof wide);
    struct Case {
        const char* key;
        std::int32_t defaultValue;
        std::int32_t expected;
    } cases[] = {
        {"NumBalls", 20, 42},
        {"Gravity", 0, -1},          // 32-bit values come back signed
        {"BallSize", 30, 30},        // not a REG_DWORD
        {"Colors", 2, 2},            // not a REG_DWORD either
        {"Velocity", 10, 10},        // missing in an existing section
    };
    for (const Case& c : cases) EXPECT_EQ(profile_.GetInt("Settings", c.key, c.defaultValue), c.expected) << c.key;
    EXPECT_EQ(profile_.GetInt("Other", "NumBalls", 3), 3) << "another section";
}

TEST_F(RegistryProfileTest, WritesDwordsCreatingTheKeys) {
    ASSERT_TRUE(profile_.WriteInt("Settings", "RefreshRate", 20));
    ASSERT_TRUE(profile_.WriteInt("Settings", "BallSizeSel", -1));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsPath(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "RefreshRate", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 20u);
    RegCloseKey(key);
    EXPECT_EQ(profile_.GetInt("Settings", "BallSizeSel", 0), -1);
}

TEST_F(RegistryProfileTest, TheDrawingWindowTakesItsFramePeriodFromTheStore) {
    struct Case {
        const char* name;
        DWORD stored;
        double minMs, maxMs;
    } cases[] = {
        {"RefreshRate 20 (21 ms)", 20, 15.0, 40.0},
        // A value no dialog writes is held inside the key table's safe range instead of giving a
        // period of four billion milliseconds.
        {"RefreshRate -5 (held at 0: 1 ms)", static_cast<DWORD>(-5), 0.0, 12.0},
    };
    for (const Case& c : cases) {
        StoreDword("RefreshRate", c.stored);
        vellora::Simulation sim;
        const double period = vtest::MeasureFramePeriod(sim, profile_);
        std::printf("[ timing ] frame timer from the registry, %s: %.2f ms per frame\n", c.name, period);
        EXPECT_GT(period, c.minMs) << c.name;
        EXPECT_LT(period, c.maxMs) << c.name;
    }
}
