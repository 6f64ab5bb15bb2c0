// The built VelloraSaver.scr's options dialog worked as a user works it: real key presses and
// clicks through the X server (xdotool), the settings read back from the registry afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "saver/config/options_rules.h"
#include "saver/resources/resource.h"
#include "test_support.h"
#include "ui_support.h"

namespace {

constexpr const char* kCaption = "VelloraSaver Options";
// The saver's profile: Software\<registry key>\<module name>\Settings.
constexpr const char* kProfileKey = "Software\\Vellora Screen Saver\\VelloraSaver";
constexpr const char* kSettingsKey = "Software\\Vellora Screen Saver\\VelloraSaver\\Settings";

void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kProfileKey); }

void StoreSetting(const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Every value in the settings key, by name.
std::map<std::string, DWORD> StoredSettings() {
    std::map<std::string, DWORD> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name, type = 0, value = 0, size = sizeof value;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS)
            break;
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

// The saver's options dialog, up on the screen with the keyboard.
struct OpenDialog {
    HWND dialog = nullptr;
    std::string xWindow;
};

OpenDialog Open(const vtest::SaverProcess& saver) {
    OpenDialog open;
    open.dialog = vtest::WaitForWindow(kCaption, saver.Id(), 15000);
    if (open.dialog == nullptr) return open;
    open.xWindow = vtest::XWindowByCaption(kCaption, 10000);
    EXPECT_FALSE(open.xWindow.empty()) << "the X server knows the window by its caption";
    EXPECT_TRUE(vtest::FocusForKeys(open.xWindow, open.dialog));
    return open;
}

// Each case starts from a store without the saver's settings, and leaves none behind.
class OptionsProcess : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
};

}  // namespace

TEST_F(OptionsProcess, TheConfigureSwitchesOpenTheDialogAndEscStoresNothing) {
    for (const char* arguments : {"/c", "", "/c:1234", "-c"}) {
        SCOPED_TRACE(arguments);
        ClearSettings();
        vtest::SaverProcess saver(arguments);
        ASSERT_TRUE(saver.Started());
        const OpenDialog open = Open(saver);
        ASSERT_NE(open.dialog, nullptr) << "the options dialog opens";
        // Tab, Tab: from the OK button past Cancel to the "Number" slider; Right moves it.
        ASSERT_TRUE(vtest::PressKeys("Tab Tab Right"));
        EXPECT_TRUE(vtest::WaitUntil([&] { return vtest::ItemText(open.dialog, IDC_NUM_BALLS_VALUE) == "21"; }, 5000));
        ASSERT_TRUE(vtest::PressKeys("Escape"));
        ASSERT_TRUE(saver.WaitForExit(10000));
        EXPECT_EQ(saver.ExitCode(), 0u);
        EXPECT_TRUE(StoredSettings().empty());
    }
}

TEST_F(OptionsProcess, ArrowKeysOnASliderThenEnterStoreTheNewValue) {
    vtest::SaverProcess saver("/c");
    const OpenDialog open = Open(saver);
    ASSERT_NE(open.dialog, nullptr);
    ASSERT_TRUE(vtest::PressKeys("Tab Tab Right Right"));
    EXPECT_TRUE(vtest::WaitUntil([&] { return vtest::ItemText(open.dialog, IDC_NUM_BALLS_VALUE) == "22"; }, 5000));
    ASSERT_TRUE(vtest::PressKeys("Return"));
    ASSERT_TRUE(saver.WaitForExit(10000));
    const std::map<std::string, DWORD> expected = {
        {"NumBalls", 22},   {"Velocity", 10},    {"BallSize", 30}, {"Colors", 2}, {"Gravity", 0},
        {"ScenarioCounter", 20}, {"RefreshRate", 3}, {"BallSizeSel", 0}, {"Game", 0}, {"Sparks", 0},
    };
    EXPECT_EQ(StoredSettings(), expected);
}

TEST_F(OptionsProcess, ACrowdedSettingIsRefusedAndTheDialogStaysOpen) {
    StoreSetting("NumBalls", 100);
    StoreSetting("BallSize", 100);
    vtest::SaverProcess saver("");
    const OpenDialog open = Open(saver);
    ASSERT_NE(open.dialog, nullptr);
    ASSERT_TRUE(vtest::PressKeys("Return"));
    HWND box = vtest::WaitForWindow("Please adjust parameters", saver.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(vtest::XWindowByCaption("Please adjust parameters", 5000).empty());
    EXPECT_EQ(vtest::ItemText(box, 0xFFFF), vellora::CrowdingMessage(vellora::Crowding::FillsScreen));
    ASSERT_TRUE(vtest::PressKeys("Return"));
    EXPECT_TRUE(vtest::WaitForWindowGone(box, 5000));
    EXPECT_TRUE(IsWindowVisible(open.dialog)) << "the dialog stays open";
    EXPECT_TRUE(saver.Running());
    ASSERT_TRUE(vtest::PressKeys("Escape"));
    ASSERT_TRUE(saver.WaitForExit(10000));
    const std::map<std::string, DWORD> expected = {{"NumBalls", 100}, {"BallSize", 100}};
    EXPECT_EQ(StoredSettings(), expected);
}

TEST_F(OptionsProcess, AltSpaceOpensTheSystemMenuWhoseEntryOpensTheAboutBox) {
    vtest::SaverProcess saver("/c");
    const OpenDialog open = Open(saver);
    ASSERT_NE(open.dialog, nullptr);
    // Our entry is the menu's last: Up from the first entry goes round to it. (Wine adds an entry
    // "About Wine" of its own, which would take the letter A first.)
    ASSERT_TRUE(vtest::PressKeys("alt+space"));
    vtest::WaitUntil([] { return false; }, 500);
    ASSERT_TRUE(vtest::PressKeys("Up Return"));
    HWND about = vtest::WaitForWindow("About VelloraSaver", saver.Id(), 10000);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), open.dialog);
    EXPECT_EQ(vtest::ItemText(about, IDC_VERSION), "1.2");
    ASSERT_TRUE(vtest::PressKeys("Return"));
    EXPECT_TRUE(vtest::WaitForWindowGone(about, 5000));
    EXPECT_TRUE(IsWindowVisible(open.dialog));
    ASSERT_TRUE(vtest::PressKeys("Escape"));
    ASSERT_TRUE(saver.WaitForExit(10000));
    EXPECT_TRUE(StoredSettings().empty());
}

TEST_F(OptionsProcess, AClickOnTheLinkAsksTheShellToOpenItsAddress) {
    // The prefix's handler for https addresses becomes a stand-in that notes what it was given.
    const char* handlerKey = "https\\shell\\open\\command";
    char previous[1024] = "";
    LONG previousSize = sizeof previous;
    const bool hadHandler = RegQueryValueA(HKEY_CLASSES_ROOT, handlerKey, previous, &previousSize) == ERROR_SUCCESS;
    const std::string receiver = vtest::WindowsPath(std::string(VELLORA_FIXTURE_DIR) + "/url_receiver.exe");
    const std::string command = "\"" + receiver + "\" \"%1\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, handlerKey, REG_SZ, command.c_str(), static_cast<DWORD>(command.size())),
              ERROR_SUCCESS);
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string received = std::string(temp) + "vellora-url-received.txt";
    DeleteFileA(received.c_str());
    SetEnvironmentVariableA("VELLORA_URL_RECEIVED", received.c_str());

    vtest::SaverProcess saver("/c");
    const OpenDialog open = Open(saver);
    std::string got;
    if (open.dialog != nullptr) {
        RECT link{};
        GetWindowRect(GetDlgItem(open.dialog, IDC_LINK), &link);
        EXPECT_TRUE(vtest::ClickAt(link.left + 30, (link.top + link.bottom) / 2));
        vtest::WaitUntil(
            [&] {
                HANDLE file = CreateFileA(received.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
                if (file == INVALID_HANDLE_VALUE) return false;
                char text[1024] = "";
                DWORD size = 0;
                ReadFile(file, text, sizeof text - 1, &size, nullptr);
                CloseHandle(file);
                got.assign(text, size);
                return !got.empty();
            },
            15000);
        EXPECT_TRUE(IsWindowVisible(open.dialog)) << "the dialog stays open";
        vtest::FocusForKeys(open.xWindow, open.dialog);
        vtest::PressKeys("Escape");
        EXPECT_TRUE(saver.WaitForExit(10000));
    }
    if (hadHandler)
        RegSetValueA(HKEY_CLASSES_ROOT, handlerKey, REG_SZ, previous, static_cast<DWORD>(std::strlen(previous)));
    SetEnvironmentVariableA("VELLORA_URL_RECEIVED", nullptr);
    DeleteFileA(received.c_str());
    ASSERT_NE(open.dialog, nullptr);
    EXPECT_NE(got.find("https://vellora.example/download/"), std::string::npos) << got;
    EXPECT_TRUE(StoredSettings().empty());
}
