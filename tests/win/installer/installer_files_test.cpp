// The installer's Win32 operations on real files, the registry and "system.ini": writing the
// embedded module, reading version blocks, fresh names, the uninstall entry and the activation.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "installer/core/installer.h"
#include "installer/setup.h"
#include "installer/system_platform.h"
#include "test_support.h"

namespace vi = vellora::installer;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A folder of its own under the temporary directory, removed with what it holds.
class Folder {
public:
    Folder() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        path_ = std::string(temp) + "vellora installer test " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~Folder() {
        for (const std::string& name : Names()) DeleteFileA((path_ + "\\" + name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& Path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string path_;
};

}  // namespace

TEST(InstallerFiles, WriteResourceToFile) {
    Folder folder;
    const std::string target = folder / "VelloraSaver.scr";
    ASSERT_EQ(vi::WriteResourceToFile(target.c_str(), vi::kSaverResource), 1);
    EXPECT_TRUE(vtest::ReadWholeFile(target) == vtest::ReadWholeFile(vtest::SaverPath())) << "byte for byte";
    // An existing file is replaced whole.
    std::ofstream(target, std::ios::binary) << std::string(500000, 'x');
    ASSERT_EQ(vi::WriteResourceToFile(target.c_str(), vi::kSaverResource), 1);
    EXPECT_TRUE(vtest::ReadWholeFile(target) == vtest::ReadWholeFile(vtest::SaverPath()));

    EXPECT_EQ(vi::WriteResourceToFile((folder / "none.scr").c_str(), "NO_SUCH_RESOURCE"), 0);
    EXPECT_FALSE(Exists(folder / "none.scr")) << "nothing is created without the resource";
    EXPECT_EQ(vi::WriteResourceToFile((folder / "missing folder\\x.scr").c_str(), vi::kSaverResource), 0);
}

TEST(InstallerFiles, FileExists) {
    Folder folder;
    std::ofstream(folder / "here.txt") << "x";
    EXPECT_EQ(vi::FileExists((folder / "here.txt").c_str()), 1);
    EXPECT_EQ(vi::FileExists((folder / "gone.txt").c_str()), 0);
    // A file opened by someone else without sharing still counts as there.
    HANDLE held = CreateFileA((folder / "here.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(vi::FileExists((folder / "here.txt").c_str()), 1);
    CloseHandle(held);
}

TEST(InstallerFiles, GetVersionField) {
    struct Case {
        std::string path;
        const char* field;
        std::uint32_t packed;
    } cases[] = {
        {vtest::SaverPath(), "FileVersion", 0x01020000},
        {vtest::SaverPath(), "ProductVersion", 0x01020000},
        {vtest::SaverPath(), "NoSuchField", 0},
        {vtest::WindowsPath(FIXTURE_SAVER_1_1), "FileVersion", 0x01010000},
        {vtest::WindowsPath(FIXTURE_SAVER_1_3), "FileVersion", 0x01030000},
        {vtest::WindowsPath(FIXTURE_SAVER_UNVERSIONED), "FileVersion", 0},
        {"C:\\no such file.scr", "FileVersion", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vi::GetVersionField(c.path.c_str(), c.field), c.packed) << c.path << " " << c.field;
    }
}

TEST(InstallerFiles, FreshFilesAndMoves) {
    Folder folder;
    vi::SystemPlatform platform(nullptr, vi::kSaverResource);
    std::string beside, temporary;
    ASSERT_TRUE(platform.CreateFreshFile(folder.Path() + "\\", beside));
    ASSERT_TRUE(platform.CreateFreshFile("", temporary));
    EXPECT_EQ(beside.rfind(folder / "sci", 0), 0u) << beside;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    EXPECT_EQ(temporary.rfind(std::string(temp) + "sci", 0), 0u) << temporary;
    EXPECT_TRUE(Exists(temporary)) << "created empty";
    EXPECT_TRUE(platform.Remove(temporary));

    std::ofstream(folder / "a.scr") << "installed";
    ASSERT_TRUE(platform.CopyOver(folder / "a.scr", beside));
    std::ofstream(folder / "a.scr") << "half";
    ASSERT_TRUE(platform.MoveOver(beside, folder / "a.scr")) << "replacing";
    EXPECT_EQ(std::string(vtest::ReadWholeFile(folder / "a.scr").data(), 9), "installed");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.scr"});
    EXPECT_EQ(platform.ModuleSize(), vtest::ReadWholeFile(vtest::SaverPath()).size());
}

TEST(InstallerFiles, InstallSaverFileWithoutAnInstalledCopyAsksNothing) {
    Folder folder;
    const std::string target = folder / "VelloraSaver.scr";
    EXPECT_EQ(vi::InstallSaverFile(nullptr, target.c_str(), vi::kSaverResource, "Vellora Saver"), 1);
    EXPECT_TRUE(vtest::ReadWholeFile(target) == vtest::ReadWholeFile(vtest::SaverPath()));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"VelloraSaver.scr"});
}

TEST(InstallerFiles, UninstallEntryValues) {
    const std::string key = "SOFTWARE\\Vellora installer test";
    vi::SystemPlatform platform(nullptr, vi::kSaverResource);
    const std::vector<vi::RegistryValue> values = {
        {"DisplayName", "Vellora Saver", 0, false},
        {"EstimatedSize", "", 167, true},
    };
    ASSERT_TRUE(platform.WriteUninstallEntry(key, values));
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
    char text[64] = "";
    DWORD type = 0, size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(opened, "DisplayName", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof "Vellora Saver") << "the stored length counts the terminating zero";
    EXPECT_STREQ(text, "Vellora Saver");
    DWORD number = 0;
    size = sizeof number;
    EXPECT_EQ(RegQueryValueExA(opened, "EstimatedSize", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number, 167u);
    RegCloseKey(opened);
    // Written again over an existing key.
    EXPECT_TRUE(platform.WriteUninstallEntry(key, values));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

TEST(InstallerFiles, ActivateSaverNamesTheShortPathInSystemIni) {
    Folder folder;
    const std::string module = folder / "A Saver With A Long Name.scr";
    std::ofstream(module) << "x";
    char expected[MAX_PATH] = "";
    ASSERT_GT(GetShortPathNameA(module.c_str(), expected, sizeof expected), 0u);
    ASSERT_NE(std::string(expected), module) << "Wine gives long names a short form";
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    char before[MAX_PATH] = "";
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", before, sizeof before, "system.ini");

    vi::ActivateSaver(module.c_str());
    char named[MAX_PATH] = "";
    GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", named, sizeof named, "system.ini");
    EXPECT_STREQ(named, expected);
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    EXPECT_TRUE(active);
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", before[0] != '\0' ? before : nullptr, "system.ini");
}
