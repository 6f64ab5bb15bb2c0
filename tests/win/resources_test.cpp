// The built VelloraSaver.scr's resources, read from the file as the system and the installer do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver/resources/resource.h"
#include "test_support.h"
#include "vellora_version.h"
#include "win/version_block.h"

namespace {

class SaverResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExA(vtest::SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << vtest::SaverPath(); }

    static vellora::win::VersionBlock VersionInfo() {
        return vellora::win::VersionBlock::Read(vtest::SaverPath().c_str());
    }

    static HMODULE module_;
};

HMODULE SaverResources::module_ = nullptr;

}  // namespace

TEST_F(SaverResources, StringTable) {
    char text[128] = "";
    EXPECT_GT(LoadStringA(module_, IDS_DESCRIPTION, text, sizeof text), 0);
    EXPECT_STREQ(text, "Vellora Screen Saver");
    EXPECT_GT(LoadStringA(module_, IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ(text, "&About Vellora Saver...");
}

TEST_F(SaverResources, FixedVersion) {
    const vellora::win::VersionBlock block = VersionInfo();
    ASSERT_TRUE(block.Valid());
    const VS_FIXEDFILEINFO* fixed = block.Fixed();
    ASSERT_NE(fixed, nullptr);
    constexpr DWORD kVersionMS = (VELLORA_VERSION_MAJOR << 16) | VELLORA_VERSION_MINOR;
    constexpr DWORD kVersionLS = (VELLORA_VERSION_PATCH << 16) | VELLORA_VERSION_BUILD;
    EXPECT_EQ(fixed->dwFileVersionMS, kVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, kVersionLS);
    EXPECT_EQ(fixed->dwProductVersionMS, kVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, kVersionLS);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);
}

TEST_F(SaverResources, VersionStringsAndTranslation) {
    const vellora::win::VersionBlock block = VersionInfo();
    ASSERT_TRUE(block.Valid());
    const std::vector<WORD> translation = block.Translations();
    ASSERT_EQ(translation.size(), 2u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"FileVersion", VELLORA_VERSION_RC},
        {"ProductVersion", VELLORA_VERSION_RC},
        {"FileDescription", "VELLORA SAVER Application"},
        {"InternalName", "SAVER"},
        {"OriginalFilename", "VelloraSaver.scr"},
        {"ProductName", "SAVER Application"},
        {"Comments", ""},
        {"CompanyName", ""},
        {"LegalTrademarks", ""},
        {"PrivateBuild", ""},
        {"SpecialBuild", ""},
    };
    for (const Case& c : cases) {
        const char* value = block.String(c.name);
        if (*c.value == '\0') {
            // An empty value may come back as absent or as an empty text.
            if (value != nullptr) {
                EXPECT_STREQ(value, "") << c.name;
            }
            continue;
        }
        ASSERT_NE(value, nullptr) << c.name;
        EXPECT_STREQ(value, c.value) << c.name;
    }
}

TEST_F(SaverResources, PointersAndIcon) {
    // Both pointers are 32 x 32 and monochrome: an AND mask over an XOR mask. The saver window's
    // is transparent all over; the link's is a hand whose hot spot is the tip of its finger.
    struct Pointer {
        int id;
        DWORD hotX, hotY;
    };
    for (const Pointer& p : {Pointer{IDC_TRANSPARENT, 0, 0}, Pointer{IDC_LINK_HAND, 5, 0}}) {
        SCOPED_TRACE(p.id);
        EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(p.id), RT_GROUP_CURSOR), nullptr);
        HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(p.id));
        ASSERT_NE(cursor, nullptr) << "this test program carries the saver's resources too";
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, p.hotX);
        EXPECT_EQ(info.yHotspot, p.hotY);
        ASSERT_NE(info.hbmMask, nullptr);
        EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        EXPECT_EQ(mask.bmHeight, 64) << "AND mask over XOR mask";
        std::vector<unsigned char> bits(static_cast<size_t>(mask.bmWidthBytes) * mask.bmHeight);
        GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
        DeleteObject(info.hbmMask);
        const size_t half = bits.size() / 2;
        if (p.id == IDC_TRANSPARENT) {
            for (size_t i = 0; i < half; ++i) ASSERT_EQ(bits[i], 0xFF) << "AND mask byte " << i;
            for (size_t i = half; i < bits.size(); ++i) ASSERT_EQ(bits[i], 0x00) << "XOR mask byte " << i;
        } else {
            // The hot spot is drawn (AND bit 0), the pixel left of it is not.
            const unsigned char top = bits[0];
            EXPECT_EQ(top & (0x80 >> p.hotX), 0);
            EXPECT_NE(top & (0x80 >> (p.hotX - 1)), 0);
        }
    }

    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(IDI_SAVER), RT_GROUP_ICON), nullptr);
    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(1), RT_MANIFEST), nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(IDI_SAVER), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon != nullptr) DestroyIcon(icon);
}
