// The version text of modules built with other version blocks and with none, and the about box
// that shows it.
#include "saver/config/version_string.h"

#include <gtest/gtest.h>

#include <string>

#include "saver/resources/resource.h"
#include "saver/config/about_dlg.h"
#include "test_support.h"
#include "ui_support.h"

namespace {

std::string Fixture(const char* name) {
    return vtest::WindowsPath(std::string(VELLORA_FIXTURE_DIR) + "/" + name);
}

}  // namespace

TEST(VersionString, OfModulesWithOtherVersionBlocksAndWithNone) {
    struct Case {
        const char* module;
        const char* text;
    };
    const Case cases[] = {
        {"version_1_2_3_0.dll", "1.2.3"},
        {"version_1_2_0_4.dll", "1.2.0.4"},
        {"version_2_0_0_0.dll", "2.0"},
        {"version_0_0_0_0.dll", "0.0"},
        {"version_none.dll", "Unknown"},
        {"no_such_module.dll", "Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(vellora::FileVersionString(Fixture(c.module).c_str()), c.text) << c.module;
    // The saver module itself, and this test program, which carries the saver's version block.
    EXPECT_EQ(vellora::FileVersionString(vtest::SaverPath().c_str()), "1.2");
    EXPECT_EQ(vellora::GetVersionString(), "1.2");
}

TEST(AboutBox, ShowsTheVersionAndEndsWithOkOrEsc) {
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        std::string version, title, url;
        bool focusOnOk = false;
        vellora::AboutDlg about;
        const INT_PTR result = vtest::RunModal(
            "About VelloraSaver", [&] { return about.DoModal(nullptr); },
            [&](HWND dialog) {
                version = vtest::ItemText(dialog, IDC_VERSION);
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                vtest::WaitUntil(
                    [&] {
                        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
                        return info.hwndFocus != nullptr;
                    },
                    5000);
                focusOnOk = info.hwndFocus == GetDlgItem(dialog, IDOK);
                PostMessageA(info.hwndFocus, WM_KEYDOWN, key, 1);
                EXPECT_TRUE(vtest::WaitForWindowGone(dialog, 5000));
            });
        EXPECT_EQ(result, key == VK_RETURN ? IDOK : IDCANCEL);
        EXPECT_EQ(version, "1.2");
        EXPECT_TRUE(focusOnOk);
    }
}
