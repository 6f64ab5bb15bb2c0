// The installer's windows in process: the backdrop's gradient, the welcome dialog's texts and
// endings, the link's look, pointer and click; and the resources they use, in this program and in
// the built VelloraSetup.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "installer/resources/resource.h"
#include "installer/setup.h"
#include "saver/config/product.h"
#include "test_support.h"
#include "ui_support.h"

namespace vi = vellora::installer;

namespace {

// Runs the welcome dialog modally with this program's dialog 105 while steps work it from a
// second thread, once the dialog shows with this caption.
INT_PTR RunWelcome(const char* displayName, const char* caption, const std::function<void(HWND)>& steps) {
    return vtest::RunModal(
        caption,
        [&] {
            return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_WELCOME), nullptr,
                                   vi::WelcomeDlgProc, reinterpret_cast<LPARAM>(displayName));
        },
        steps);
}

constexpr const char* kCaption = "Vellora Saver Installer";

// The band of row y on a client area h rows high: the last band whose top is at or above y.
int BandOfRow(int y, int h) {
    int band = 0;
    for (int i = 0; i < 256; ++i) {
        if (static_cast<int>(static_cast<float>(i) * (static_cast<float>(h) * (1.0f / 256.0f))) <= y) band = i;
    }
    return band;
}

constexpr std::uint32_t kBlue = 0x00FF0000;  // 0x00BBGGRR

}  // namespace

TEST(InstallerWindows, BackdropGradient) {
    vi::RegisterBackdropClass();
    for (int height : {512, 300, 100}) {
        SCOPED_TRACE(height);
        HWND backdrop = CreateWindowExA(0, vi::kBackdropClass, "Install Saver", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                        height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(backdrop, nullptr);
        UpdateWindow(backdrop);
        const vtest::Pixels pixels = vtest::ReadClientPixels(backdrop);
        ASSERT_EQ(pixels.height, height);
        // Below 256 rows the first bands are empty.
        if (height >= 256) {
            EXPECT_EQ(pixels.At(0, 0), kBlue) << "the top row is pure blue";
        }
        EXPECT_EQ(pixels.At(199, height - 1), 0u) << "the last band is black";
        int wrongRows = 0;
        for (int y = 0; y < height; ++y) {
            const std::uint32_t expected = static_cast<std::uint32_t>(255 - BandOfRow(y, height)) << 16;
            for (int x = 0; x < pixels.width; ++x) {
                if (pixels.At(x, y) != expected) {
                    ++wrongRows;
                    ADD_FAILURE() << "row " << y << " x " << x << ": " << std::hex << pixels.At(x, y) << " instead of "
                                  << expected;
                    break;
                }
            }
            if (wrongRows > 3) break;
        }
        if (height == 512) {
            // Every band is two rows.
            EXPECT_EQ(pixels.At(0, 1), kBlue);
            EXPECT_EQ(pixels.At(0, 2), 0x00FE0000u);
        }
        // Painting happens on WM_PAINT only: the class has no background brush.
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), vi::kBackdropClass, &wc));
        EXPECT_EQ(wc.hbrBackground, nullptr);
        EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
        DestroyWindow(backdrop);
        EXPECT_TRUE(vtest::PumpUntil(vtest::TakeQuit, 1000)) << "the backdrop's end ends the message loop";
    }
}

TEST(InstallerWindows, WelcomeTextsCompletedWithTheDisplayName) {
    struct Case {
        const char* displayName;
        const char* thanks;
        const char* freeware;
        const char* caption;
    } cases[] = {
        {"Vellora Saver", "Thanks for downloading Vellora Saver!",
         "Vellora Saver is freeware and may be freely distributed.", "Vellora Saver Installer"},
        {"the Brimsy saver", "Thanks for downloading the Brimsy saver!",
         "the Brimsy saver is freeware and may be freely distributed.", "the Brimsy saver Installer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.displayName);
        // The dialog is found by its caption: the name followed by " Installer".
        const INT_PTR result = RunWelcome(c.displayName, c.caption, [&](HWND dialog) {
            EXPECT_EQ(vtest::ItemText(dialog, IDC_THANKS), c.thanks);
            EXPECT_EQ(vtest::ItemText(dialog, IDC_FREEWARE), c.freeware);
            EXPECT_EQ(vtest::ItemText(dialog, IDC_LINK), VELLORA_DOWNLOAD_URL);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST(InstallerWindows, WelcomeEndsWithInstallOrCancel) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        INT_PTR result;
    } cases[] = {
        {"Install", WM_COMMAND, IDOK, IDOK},
        {"Cancel", WM_COMMAND, IDCANCEL, IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool stayedOpen = false;
        const INT_PTR result = RunWelcome("Vellora Saver", kCaption, [&](HWND dialog) {
            // Other commands leave the dialog open.
            SendMessageA(dialog, WM_COMMAND, IDC_LINK, 0);
            stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
            PostMessageA(dialog, c.message, c.wParam, 0);
        });
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(result, c.result);
    }
}

TEST(InstallerWindows, LinkIsBlueUnderlinedOnTheDialogsBackground) {
    vtest::Pixels pixels;
    RunWelcome("Vellora Saver", kCaption, [&](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_LINK);
        vtest::WaitUntil(
            [&] {
                pixels = vtest::ReadScreenPixels(link);
                return std::count(pixels.colors.begin(), pixels.colors.end(), kBlue) > 0;
            },
            5000);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_GT(pixels.width, 0);
    // Every pixel is the dialog's own grey, pure blue, or (where the font is smoothed) a blend of
    // the two: no box, no other colour. Ink is what is mostly blue.
    int blue = 0, left = pixels.width, right = -1, widestRow = 0;
    for (int y = 0; y < pixels.height; ++y) {
        int inRow = 0;
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t c = pixels.At(x, y);
            const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
            ASSERT_TRUE(std::abs(r - g) <= 4 && b >= r && b >= 0xC0)
                << "at " << x << ", " << y << ": " << std::hex << c << " is neither the background nor blue";
            if (r < 0x80) {
                ++blue;
                ++inRow;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        widestRow = std::max(widestRow, inRow);
    }
    const DWORD face = GetSysColor(COLOR_3DFACE);
    EXPECT_EQ(pixels.At(pixels.width - 1, 0), face) << "the dialog's background";
    std::printf("[ link   ] %d blue pixels, text %d px wide, widest row %d px\n", blue, right - left + 1, widestRow);
    EXPECT_GT(blue, 100);
    EXPECT_GE(widestRow, (right - left + 1) * 9 / 10) << "a row of blue under the whole text: the underline";
}

TEST(InstallerWindows, LinkTakesThePointerAndOpensItsText) {
    // A batch file stands in for the download page: opening it leaves a mark.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string batch = std::string(folder) + "vellora_link_test.bat";
    const std::string mark = std::string(folder) + "vellora_link_opened.txt";
    DeleteFileA(mark.c_str());
    {
        std::ofstream file(batch);
        file << "@echo opened> \"" << mark << "\"\r\n";
    }
    bool hitsTheLink = false, handShown = false, stillOpen = false, opened = false;
    RunWelcome("Vellora Saver", kCaption, [&](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_LINK);
        RECT rect;
        GetWindowRect(link, &rect);
        // Default processing, not the static control's, answers the hit test: the link gets the mouse.
        hitsTheLink = SendMessageA(link, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 2, rect.top + 2)) == HTCLIENT;
        // The pointer belongs to the dialog's thread: share its input to see it.
        const DWORD dialogThread = GetWindowThreadProcessId(dialog, nullptr);
        AttachThreadInput(GetCurrentThreadId(), dialogThread, TRUE);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        handShown = GetCursor() == LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_POINTER));
        AttachThreadInput(GetCurrentThreadId(), dialogThread, FALSE);
        SetWindowTextA(link, batch.c_str());
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        opened = vtest::WaitUntil([&] { return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(hitsTheLink);
    EXPECT_TRUE(handShown);
    EXPECT_TRUE(opened) << "the shell opened the link's text";
    EXPECT_TRUE(stillOpen) << "the dialog stays open";
    DeleteFileA(mark.c_str());
    DeleteFileA(batch.c_str());
}

namespace {

// An icon group's images: width and bits per pixel of each.
std::vector<std::pair<int, int>> IconGroupImages(HMODULE module, int id) {
    std::vector<std::pair<int, int>> images;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    if (resource == nullptr) return images;
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    const int count = bytes[4] | bytes[5] << 8;
    for (int i = 0; i < count; ++i) {
        const unsigned char* entry = bytes + 6 + 14 * i;  // width, height, colours, 0, planes, bits, size, id
        images.emplace_back(entry[0], entry[6] | entry[7] << 8);
    }
    return images;
}

void ExpectInstallerResources(HMODULE module) {
    char text[64] = "";
    EXPECT_GT(LoadStringA(module, IDS_DISPLAY_NAME, text, sizeof text), 0);
    EXPECT_STREQ(text, vellora::kDisplayName);
    EXPECT_GT(LoadStringA(module, IDS_FILE_NAME, text, sizeof text), 0);
    EXPECT_STREQ(text, vellora::kSaverFileName);
    const std::vector<std::pair<int, int>> sixteenColours{{32, 4}, {16, 4}};
    EXPECT_EQ(IconGroupImages(module, IDI_SETUP), sixteenColours);
    EXPECT_EQ(IconGroupImages(module, IDI_MOTIF), sixteenColours);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDD_WELCOME), RT_DIALOG), nullptr);
}

}  // namespace

TEST(InstallerResources, TestProgramCarriesThem) {
    HMODULE module = GetModuleHandleA(nullptr);
    ExpectInstallerResources(module);
    HCURSOR hand = LoadCursorA(module, MAKEINTRESOURCEA(IDC_LINK_POINTER));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u) << "the fingertip";
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    DeleteObject(info.hbmMask);
}

TEST(InstallerResources, VelloraSetupCarriesThemAndTheSaverByteForByte) {
    const std::string setup = vtest::WindowsPath(VELLORA_SETUP_EXE);
    HMODULE module = LoadLibraryExA(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << setup;
    ExpectInstallerResources(module);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDC_LINK_POINTER), RT_GROUP_CURSOR), nullptr);

    HRSRC payload = FindResourceA(module, vi::kSaverResource, RT_RCDATA);
    ASSERT_NE(payload, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, payload)));
    const std::vector<char> embedded(bytes, bytes + SizeofResource(module, payload));
    const std::vector<char> saver = vtest::ReadWholeFile(vtest::SaverPath());
    ASSERT_FALSE(saver.empty());
    EXPECT_TRUE(embedded == saver) << "embedded " << embedded.size() << " bytes, the saver " << saver.size();

    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const char* xml = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
    const std::string text(xml, SizeofResource(module, manifest));
    for (const char* part : {"level=\"requireAdministrator\"", "<dpiAware", ">true</dpiAware>",
                             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    FreeLibrary(module);
}
