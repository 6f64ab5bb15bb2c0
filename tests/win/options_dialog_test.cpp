// The options dialog driven in-process, as a user would work it: what it shows for what is stored,
// how its value boxes and description follow the controls, what OK, Cancel and the crowding
// checks store, the about box from the system menu, and the link.
#include "saver/config/options_dlg.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "saver/resources/resource.h"
#include "saver/config/options_rules.h"
#include "saver/config/registry_profile.h"
#include "test_support.h"
#include "ui_support.h"

namespace {

using vellora::Setting;

constexpr const char* kCaption = "VelloraSaver Options";

// The sliders and their value boxes in set-up order, and the three lists.
constexpr int kSliderIds[7] = {IDC_NUM_BALLS, IDC_VELOCITY,         IDC_BALL_SIZE,   IDC_COLORS,
                               IDC_GRAVITY,   IDC_SCENARIO_COUNTER, IDC_REFRESH_RATE};
constexpr int kValueBoxIds[7] = {IDC_NUM_BALLS_VALUE, IDC_VELOCITY_VALUE,         IDC_BALL_SIZE_VALUE,
                                 IDC_COLORS_VALUE,    IDC_GRAVITY_VALUE,          IDC_SCENARIO_COUNTER_VALUE,
                                 IDC_REFRESH_RATE_VALUE};
constexpr int kListIds[3] = {IDC_BALL_SIZE_SEL, IDC_GAME, IDC_SPARKS};

// What the dialog shows.
struct View {
    std::vector<int> positions;
    std::vector<std::string> boxes;
    std::vector<int> selections;
    std::string description;
};

View Look(HWND dialog) {
    View view;
    for (int i = 0; i < 7; ++i) {
        view.positions.push_back(static_cast<int>(SendDlgItemMessageA(dialog, kSliderIds[i], TBM_GETPOS, 0, 0)));
        view.boxes.push_back(vtest::ItemText(dialog, kValueBoxIds[i]));
    }
    for (int id : kListIds) view.selections.push_back(static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)));
    view.description = vtest::ItemText(dialog, IDC_DESCRIPTION);
    return view;
}

// The sliders have painted (and been read) once every value box shows its slider's position.
bool SlidersRead(HWND dialog) {
    const View view = Look(dialog);
    for (int i = 0; i < 7; ++i) {
        const Setting setting = static_cast<Setting>(i);  // the first seven keys are the sliders'
        if (view.boxes[i] != vellora::ValueBoxText(setting, view.positions[i])) return false;
    }
    return true;
}

// Key presses posted to a control, through the dialog's own loop as typed keys go.
void Press(HWND control, WPARAM key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        PostMessageA(control, WM_KEYDOWN, key, 1);
        PostMessageA(control, WM_KEYUP, key, 0xC0000001);
    }
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A profile that keeps the order of the writes.
class RecordingProfile : public vellora::MemoryProfile {
public:
    bool WriteInt(const char* section, const char* key, std::int32_t value) override {
        writes.push_back(std::string(section) + "\\" + key + "=" + std::to_string(value));
        return MemoryProfile::WriteInt(section, key, value);
    }
    std::vector<std::string> writes;
};

std::vector<std::string> Writes(const std::vector<int>& values) {
    std::vector<std::string> writes;
    for (const vellora::SettingDef& def : vellora::AllSettings())
        writes.push_back(std::string("Settings\\") + def.key + "=" + std::to_string(values[static_cast<int>(def.id)]));
    return writes;
}

}  // namespace

TEST(OptionsDialog, ShowsTheStoreAsTheSlidersAllowAndOkStoresWhatTheControlsHold) {
    const char* testKey = "Vellora Options Test";
    const std::string path = std::string("Software\\") + testKey + "\\Saver\\Settings";
    struct Stored {
        const char* key;
        DWORD type;
        std::string data;  // a REG_DWORD's value in decimal, or a text
    };
    struct Case {
        const char* name;
        std::vector<Stored> stored;
        std::vector<int> positions;
        std::vector<std::string> boxes;
        std::vector<int> selections;
        int description;  // the scenario shown, or -1 for the template's "Scenario Description"
        std::vector<int> written;
    };
    const Case cases[] = {
        {"empty store", {}, {20, 10, 30, 2, 0, 20, 3}, {"20", "10", "30", "2", "0.00", "20", "3"}, {0, 0, 0}, 0,
         // "RefreshRate" stores 3, its slider's lowest position, not its default 1.
         {20, 10, 30, 2, 0, 20, 3, 0, 0, 0}},
        {"values of their own",
         {{"NumBalls", REG_DWORD, "30"}, {"Velocity", REG_DWORD, "7"}, {"BallSize", REG_DWORD, "12"},
          {"Colors", REG_DWORD, "100"}, {"Gravity", REG_DWORD, "37"}, {"ScenarioCounter", REG_DWORD, "3"},
          {"RefreshRate", REG_DWORD, "50"}, {"BallSizeSel", REG_DWORD, "2"}, {"Game", REG_DWORD, "6"},
          {"Sparks", REG_DWORD, "1"}},
         {30, 7, 12, 100, 37, 3, 50}, {"30", "7", "12", "100", "1.85", "3", "50"}, {2, 6, 1}, 6,
         {30, 7, 12, 100, 37, 3, 50, 2, 6, 1}},
        {"out of range, wrong type and no selection",
         {{"NumBalls", REG_DWORD, "500"}, {"Velocity", REG_SZ, "33"}, {"BallSize", REG_DWORD, "-7"},
          {"Colors", REG_DWORD, "1000"}, {"Gravity", REG_DWORD, "-1"}, {"ScenarioCounter", REG_DWORD, "0"},
          {"RefreshRate", REG_DWORD, "1"}, {"BallSizeSel", REG_DWORD, "3"}, {"Game", REG_DWORD, "9"},
          {"Sparks", REG_DWORD, "-1"}},
         {100, 10, 10, 127, 0, 1, 3}, {"100", "10", "10", "127", "0.00", "1", "3"}, {-1, -1, -1}, -1,
         {100, 10, 10, 127, 0, 1, 3, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + testKey).c_str());
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const Stored& s : c.stored) {
            if (s.type == REG_DWORD) {
                const DWORD value = static_cast<DWORD>(std::stol(s.data));
                RegSetValueExA(key, s.key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
            } else {
                RegSetValueExA(key, s.key, 0, s.type, reinterpret_cast<const BYTE*>(s.data.c_str()),
                               static_cast<DWORD>(s.data.size() + 1));
            }
        }
        RegCloseKey(key);

        vellora::RegistryProfile profile(testKey, "Saver");
        View shown;
        const INT_PTR result = vtest::RunModal(
            kCaption, [&] { return vellora::RunOptionsDialog(profile); },
            [&](HWND dialog) {
                EXPECT_TRUE(vtest::WaitUntil([&] { return SlidersRead(dialog); }, 5000));
                shown = Look(dialog);
                Click(dialog, IDOK);
                EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
            });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(shown.positions, c.positions);
        EXPECT_EQ(shown.boxes, c.boxes);
        EXPECT_EQ(shown.selections, c.selections);
        EXPECT_EQ(shown.description,
                  c.description < 0 ? "Scenario Description" : vellora::ScenarioDescription(c.description));
        for (const vellora::SettingDef& def : vellora::AllSettings())
            EXPECT_EQ(profile.GetInt("Settings", def.key, 12345), c.written[static_cast<int>(def.id)]) << def.key;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + testKey).c_str());
}

TEST(OptionsDialog, AnEmptyStoreConfirmedAtOnceGetsAllTenKeysInOrder) {
    RecordingProfile profile;
    const INT_PTR result = vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            // Enter on the focused OK button, as soon as the dialog is up.
            Press(GetDlgItem(dialog, IDOK), VK_RETURN);
            EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(profile.writes, Writes({20, 10, 30, 2, 0, 20, 3, 0, 0, 0}));
}

TEST(OptionsDialog, CancelEscAndTheCloseBoxStoreNothing) {
    struct Way {
        const char* name;
        std::function<void(HWND)> leave;
    };
    const Way ways[] = {
        {"Cancel", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"Esc", [](HWND dialog) { Press(GetDlgItem(dialog, IDC_GRAVITY), VK_ESCAPE); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        RecordingProfile profile;
        const INT_PTR result = vtest::RunModal(
            kCaption, [&] { return vellora::RunOptionsDialog(profile); },
            [&](HWND dialog) {
                HWND gravity = GetDlgItem(dialog, IDC_GRAVITY);
                Press(gravity, VK_RIGHT, 3);
                Press(GetDlgItem(dialog, IDC_GAME), VK_DOWN);
                EXPECT_TRUE(vtest::WaitUntil([&] { return vtest::ItemText(dialog, IDC_GRAVITY_VALUE) == "0.15"; }, 5000));
                way.leave(dialog);
                EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
            });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(profile.writes.empty());
    }
}

TEST(OptionsDialog, EachValueBoxFollowsItsSlider) {
    RecordingProfile profile;
    vellora::WriteSetting(profile, Setting::Gravity, 36);
    profile.writes.clear();
    const INT_PTR result = vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            struct Move {
                int slider;
                WPARAM key;
                const char* box;
            };
            const Move moves[] = {
                {0, VK_END, "100"}, {0, VK_HOME, "2"},   {1, VK_END, "40"},     {1, VK_HOME, "3"},
                {2, VK_END, "100"}, {2, VK_HOME, "10"},  {3, VK_END, "127"},    {3, VK_HOME, "1"},
                {5, VK_END, "100"}, {5, VK_HOME, "1"},   {6, VK_END, "127"},    {6, VK_HOME, "3"},
                {4, VK_END, "5.00"}, {4, VK_HOME, "0.00"}, {4, VK_RIGHT, "0.05"},
                // Page steps are the slider's own: a fifth of the range.
                {4, VK_NEXT, "1.05"},
                // Back to 37, which shows 1.85.
                {4, VK_NEXT, "2.05"},   {4, VK_LEFT, "2.00"},
            };
            for (const Move& move : moves) {
                Press(GetDlgItem(dialog, kSliderIds[move.slider]), move.key);
                EXPECT_TRUE(vtest::WaitUntil(
                    [&] { return vtest::ItemText(dialog, kValueBoxIds[move.slider]) == move.box; }, 5000))
                    << "slider " << move.slider << ": " << vtest::ItemText(dialog, kValueBoxIds[move.slider]);
            }
            HWND gravity = GetDlgItem(dialog, IDC_GRAVITY);
            SendMessageA(gravity, TBM_SETPOS, TRUE, 36);
            Press(gravity, VK_RIGHT);
            EXPECT_TRUE(vtest::WaitUntil([&] { return vtest::ItemText(dialog, IDC_GRAVITY_VALUE) == "1.85"; }, 5000));
            Click(dialog, IDOK);
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(profile.writes, Writes({2, 3, 10, 1, 37, 1, 3, 0, 0, 0}));
}

TEST(OptionsDialog, TheDescriptionFollowsTheScenarioList) {
    RecordingProfile profile;
    vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_GAME);
            for (int index = 1; index <= 6; ++index) {
                Press(list, VK_DOWN);
                EXPECT_TRUE(vtest::WaitUntil(
                    [&] { return vtest::ItemText(dialog, IDC_DESCRIPTION) == vellora::ScenarioDescription(index); },
                    5000))
                    << index;
            }
            // "Random Scenario" in the list, "Random" in the description.
            EXPECT_EQ(vtest::ItemText(dialog, IDC_DESCRIPTION).rfind("\"Random\" ", 0), 0u);
            Press(list, VK_HOME);
            EXPECT_TRUE(vtest::WaitUntil(
                [&] { return vtest::ItemText(dialog, IDC_DESCRIPTION) == vellora::ScenarioDescription(0); }, 5000));
            Click(dialog, IDCANCEL);
        });
}

TEST(OptionsDialog, ListsHoldTheirEntriesUnsorted) {
    RecordingProfile profile;
    std::vector<std::vector<std::string>> entries(3);
    vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            for (int i = 0; i < 3; ++i) {
                const int count = static_cast<int>(SendDlgItemMessageA(dialog, kListIds[i], CB_GETCOUNT, 0, 0));
                for (int item = 0; item < count; ++item) {
                    char text[64] = "";
                    SendDlgItemMessageA(dialog, kListIds[i], CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
                    entries[i].push_back(text);
                }
            }
            Click(dialog, IDCANCEL);
        });
    const std::vector<std::vector<std::string>> expected = {
        {"Constant", "Mixed", "Whatever"},
        {"Just Bounce", "Solo Good vs. Evil", "Good vs. Evil", "Decay vs. Health", "Decay", "All Decay",
         "Random Scenario"},
        {"No", "Yes", "Whatever"},
    };
    EXPECT_EQ(entries, expected);
}

TEST(OptionsDialog, CrowdedSettingsAreRefusedAndTheDialogStaysOpen) {
    struct Case {
        int gravity;
        vellora::Crowding crowding;
    };
    // A hundred balls of radius 100 crowd any screen up to 2,000 pixels a side, with or without
    // gravity.
    const Case cases[] = {{1, vellora::Crowding::SubFrameCollisions}, {0, vellora::Crowding::FillsScreen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gravity);
        RecordingProfile profile;
        vellora::WriteSetting(profile, Setting::NumBalls, 100);
        vellora::WriteSetting(profile, Setting::BallSize, 100);
        vellora::WriteSetting(profile, Setting::Gravity, c.gravity);
        profile.writes.clear();
        const INT_PTR result = vtest::RunModal(
            kCaption, [&] { return vellora::RunOptionsDialog(profile); },
            [&](HWND dialog) {
                EXPECT_TRUE(vtest::WaitUntil([&] { return SlidersRead(dialog); }, 5000));
                const View before = Look(dialog);
                Click(dialog, IDOK);
                HWND box = vtest::WaitForWindow("Please adjust parameters", GetCurrentProcessId(), 5000);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
                EXPECT_EQ(vtest::ItemText(box, 0xFFFF), vellora::CrowdingMessage(c.crowding));
                Click(box, IDOK);
                EXPECT_TRUE(vtest::WaitForWindowGone(box, 5000));
                EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
                const View after = Look(dialog);
                EXPECT_EQ(after.positions, before.positions);
                EXPECT_EQ(after.boxes, before.boxes);
                // Two balls fit.
                Press(GetDlgItem(dialog, IDC_NUM_BALLS), VK_HOME);
                EXPECT_TRUE(vtest::WaitUntil([&] { return vtest::ItemText(dialog, IDC_NUM_BALLS_VALUE) == "2"; }, 5000));
                Click(dialog, IDOK);
                EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
            });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(profile.writes, Writes({2, 10, 100, 2, c.gravity, 20, 3, 0, 0, 0}));
    }
}

TEST(OptionsDialog, TheSystemMenuOpensTheAboutBoxOverTheDialog) {
    RecordingProfile profile;
    const INT_PTR result = vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            HMENU menu = GetSystemMenu(dialog, FALSE);
            const int count = GetMenuItemCount(menu);
            ASSERT_GE(count, 2);
            EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
            char text[64] = "";
            GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "&About Vellora Saver...");
            EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

            EXPECT_TRUE(vtest::WaitUntil([&] { return SlidersRead(dialog); }, 5000));
            const View before = Look(dialog);
            PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            HWND about = vtest::WaitForWindow("About VelloraSaver", GetCurrentProcessId(), 5000);
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog)) << "modal over the options dialog";
            EXPECT_EQ(vtest::ItemText(about, IDC_VERSION), "1.2");
            // Centred over the options dialog.
            RECT outer{}, inner{};
            GetWindowRect(dialog, &outer);
            GetWindowRect(about, &inner);
            EXPECT_NEAR((inner.left + inner.right) / 2, (outer.left + outer.right) / 2, 2);
            EXPECT_NEAR((inner.top + inner.bottom) / 2, (outer.top + outer.bottom) / 2, 2);
            Click(about, IDOK);
            EXPECT_TRUE(vtest::WaitForWindowGone(about, 5000));
            EXPECT_TRUE(vtest::WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
            const View after = Look(dialog);
            EXPECT_EQ(after.positions, before.positions);
            EXPECT_EQ(after.boxes, before.boxes);
            EXPECT_EQ(after.selections, before.selections);
            // Other system commands keep their usual meaning: the close box cancels.
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
        });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(profile.writes.empty());
}

TEST(OptionsDialog, TabOrderIsTemplateOrderFromTheOkButton) {
    RecordingProfile profile;
    std::vector<int> order;
    vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
            auto focused = [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                GetGUIThreadInfo(thread, &info);
                return info.hwndFocus;
            };
            EXPECT_TRUE(vtest::WaitUntil([&] { return focused() != nullptr; }, 5000));
            for (int step = 0; step < 13; ++step) {
                HWND now = focused();
                order.push_back(GetDlgCtrlID(now));
                Press(now, VK_TAB);
                vtest::WaitUntil([&] { return focused() != now; }, 2000);
            }
            Click(dialog, IDCANCEL);
        });
    const std::vector<int> expected = {IDOK,          IDCANCEL,         IDC_NUM_BALLS, IDC_BALL_SIZE_SEL, IDC_REFRESH_RATE,
                                       IDC_BALL_SIZE, IDC_GRAVITY,      IDC_GAME,      IDC_COLORS,        IDC_VELOCITY,
                                       IDC_SPARKS,    IDC_SCENARIO_COUNTER, IDOK};
    EXPECT_EQ(order, expected);
}

TEST(OptionsDialog, VersionLinkAndIcon) {
    RecordingProfile profile;
    vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            EXPECT_EQ(vtest::ItemText(dialog, IDC_VERSION), "1.2");
            EXPECT_EQ(vtest::ItemText(dialog, IDC_LINK), "https://vellora.example/download/");
            // Icon 128 while minimised and for dragging, but not the window's own icon.
            const LRESULT dragIcon = SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
            EXPECT_EQ(reinterpret_cast<HICON>(dragIcon), LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SAVER)));
            EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
            EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
            Click(dialog, IDCANCEL);
        });
}

TEST(OptionsDialog, TheLinkIsBlueUnderlinedAndShowsTheHand) {
    RecordingProfile profile;
    vtest::RunModal(
        kCaption, [&] { return vellora::RunOptionsDialog(profile); },
        [&](HWND dialog) {
            HWND link = GetDlgItem(dialog, IDC_LINK);
            ASSERT_NE(link, nullptr);
            EXPECT_TRUE(GetWindowLongPtrA(link, GWL_STYLE) & SS_NOTIFY);
            vtest::Pixels pixels;
            const COLORREF blue = RGB(0, 0, 255);
            auto blueCount = [&] {
                int n = 0;
                for (std::uint32_t c : pixels.colors) n += c == blue;
                return n;
            };
            EXPECT_TRUE(vtest::WaitUntil(
                [&] {
                    pixels = vtest::ReadScreenPixels(link);
                    return blueCount() > 0;
                },
                5000));
            // Only blue on the dialog's background, and an underline: a row of blue far longer
            // than any letter is wide.
            const std::uint32_t background = pixels.At(pixels.width - 1, 0);
            int longestRun = 0;
            for (int y = 0; y < pixels.height; ++y) {
                int run = 0;
                for (int x = 0; x < pixels.width; ++x) {
                    const std::uint32_t c = pixels.At(x, y);
                    EXPECT_TRUE(c == blue || c == background) << std::hex << c << " at " << x << "," << y;
                    run = c == blue ? run + 1 : 0;
                    if (run > longestRun) longestRun = run;
                }
            }
            EXPECT_GT(longestRun, 100) << "underlined";

            // The hand on every move over the link.
            AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(dialog, nullptr), TRUE);
            HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
            ASSERT_NE(hand, nullptr);
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 3));
            EXPECT_EQ(GetCursor(), hand);
            AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(dialog, nullptr), FALSE);
            Click(dialog, IDCANCEL);
        });
}

TEST(OptionsDialog, ADialogThatCannotBeCreatedEndsAtOnceWithMinusOne) {
    // The options dialog's runner writes only on IDOK; a template that is not there gives -1.
    class Missing : public vellora::win::ModalDialog {
    public:
        Missing() : ModalDialog(9999) {}
    };
    Missing missing;
    EXPECT_EQ(missing.DoModal(nullptr), -1);
}
