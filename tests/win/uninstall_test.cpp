// The uninstall: the batch file as written, and the built VelloraSaver.scr run with "-UNINSTALL"
// the way the software list runs it, on copies of the module placed for each case. Wine's command
// processor runs the batch.
#include "saver/app/uninstall.h"

#include <gtest/gtest.h>

#include "win/win32.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include <string>

#include "saver/config/product.h"
#include "test_support.h"
#include "ui_support.h"

namespace {

constexpr const char* kSettingsKey = "Software\\Vellora Screen Saver\\VelloraSaver\\Settings";

std::string WindowsDirectory() {
    char directory[MAX_PATH] = "";
    GetWindowsDirectoryA(directory, MAX_PATH);
    return directory;
}

std::string BatchPath() { return WindowsDirectory() + "\\uninstss.bat"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

void CreateUninstallEntry(const std::string& module) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, vellora::kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const std::string command = module + " " + vellora::kUninstallSwitch;
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(vellora::kDisplayName),
                   static_cast<DWORD>(std::strlen(vellora::kDisplayName) + 1));
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
}

bool UninstallEntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, vellora::kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

DWORD StoredNumBalls() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "NumBalls", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return 0;
    return value;
}

void StoreNumBalls(DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "NumBalls", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Processes running a module of this file name.
int ProcessesNamed(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += lstrcmpiA(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return count;
}

// A copy of the built module at path (its folder made as needed), to be uninstalled.
class ModuleCopy {
public:
    ModuleCopy(const std::string& folder, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
        : folder_(folder), path_(folder + "\\" + vellora::kSaverFileName) {
        CreateDirectoryA(folder_.c_str(), nullptr);
        copied_ = CopyFileA(vtest::SaverPath().c_str(), path_.c_str(), FALSE) != FALSE;
        SetFileAttributesA(path_.c_str(), attributes);
    }
    ~ModuleCopy() {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    bool Copied() const { return copied_; }
    const std::string& Path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
    bool copied_ = false;
};

}  // namespace

TEST(UninstallBatch, WrittenForTheShortPathReplacingAnOlderOne) {
    // A folder whose short name keeps its '%', which the batch must double.
    const ModuleCopy module("C:\\50%");
    ASSERT_TRUE(module.Copied());
    const std::string shortPath = ShortPath(module.Path());
    ASSERT_NE(shortPath.find('%'), std::string::npos) << shortPath;
    WriteFileBytes(BatchPath(), std::string(5000, 'x'));

    char batchPath[MAX_PATH] = "unchanged";
    ASSERT_TRUE(vellora::WriteUninstallBatch(batchPath, module.Path().c_str()));
    EXPECT_STREQ(batchPath, BatchPath().c_str());
    const std::string bytes = ReadFileBytes(BatchPath());
    EXPECT_EQ(bytes, vellora::UninstallBatchText(shortPath)) << "the older file's bytes are gone, not appended to";
    EXPECT_NE(bytes.find("DEL \"C:\\50%%\\"), std::string::npos) << bytes;
    DeleteFileA(BatchPath().c_str());

    // A folder in the batch's place: nothing is written, and the system says why.
    ASSERT_TRUE(CreateDirectoryA(BatchPath().c_str(), nullptr));
    std::strcpy(batchPath, "unchanged");
    EXPECT_FALSE(vellora::WriteUninstallBatch(batchPath, module.Path().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    RemoveDirectoryA(BatchPath().c_str());
}

TEST(UninstallBatch, NotWrittenForAPathThatCouldEndItsLine) {
    // The module's path as started comes from the starter's command line, which can hold a line
    // break where no file name can: nothing is written, so no command of the path's own can run.
    DeleteFileA(BatchPath().c_str());
    char batchPath[MAX_PATH] = "unchanged";
    EXPECT_FALSE(vellora::WriteUninstallBatch(batchPath, "C:\\X.SCR\r\nDEL C:\\BOOT.INI"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(GetFileAttributesA(BatchPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(UninstallProcess, RemovesTheEntryAndThenTheFileAndKeepsTheSettings) {
    for (bool withEntry : {true, false}) {
        SCOPED_TRACE(withEntry ? "with its entry" : "without an entry");
        const ModuleCopy module("C:\\50% uninstall");
        ASSERT_TRUE(module.Copied());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, vellora::kUninstallKey);
        if (withEntry) CreateUninstallEntry(module.Path());
        StoreNumBalls(42);

        vtest::SaverProcess saver(vellora::kUninstallSwitch, module.Path());
        ASSERT_TRUE(saver.WaitForExit(10000));
        EXPECT_EQ(saver.ExitCode(), 0u);
        EXPECT_FALSE(UninstallEntryExists());
        // The batch deletes the module once the process has gone, then itself.
        const double start = vtest::NowMs();
        EXPECT_TRUE(vtest::WaitUntil([&] { return !Exists(module.Path()) && !Exists(BatchPath()); }, 20000))
            << "module " << Exists(module.Path()) << ", batch " << Exists(BatchPath());
        std::printf("[ uninst ] module and batch gone %.0f ms after the saver ended\n", vtest::NowMs() - start);
        EXPECT_EQ(StoredNumBalls(), 42u) << "the settings stay";
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vellora Screen Saver\\VelloraSaver");
}

TEST(UninstallProcess, AReadOnlyModuleStaysAndTheBatchGivesUpWithinItsBound) {
    const ModuleCopy module("C:\\vellora read-only", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(module.Copied());
    CreateUninstallEntry(module.Path());
    vtest::SaverProcess saver(vellora::kUninstallSwitch, module.Path());
    ASSERT_TRUE(saver.WaitForExit(10000));
    EXPECT_FALSE(UninstallEntryExists());
    ASSERT_TRUE(vtest::WaitUntil([&] { return Exists(BatchPath()); }, 5000) || !Exists(BatchPath()));
    // Twenty tries about a second apart, then the batch deletes itself.
    const double start = vtest::NowMs();
    EXPECT_TRUE(vtest::WaitUntil([&] { return !Exists(BatchPath()); }, 60000)) << "the batch ends";
    const double took = vtest::NowMs() - start;
    std::printf("[ uninst ] the batch gave up on a read-only module after %.1f s\n", took / 1000);
    EXPECT_GT(took, (vellora::kUninstallTries - 2) * 900.0) << "it pauses between tries";
    EXPECT_TRUE(Exists(module.Path()));
}

TEST(UninstallProcess, WithoutAPlaceForTheBatchNothingChanges) {
    const ModuleCopy module("C:\\vellora blocked");
    ASSERT_TRUE(module.Copied());
    CreateUninstallEntry(module.Path());
    ASSERT_TRUE(CreateDirectoryA(BatchPath().c_str(), nullptr));
    vtest::SaverProcess saver(vellora::kUninstallSwitch, module.Path());
    EXPECT_TRUE(saver.WaitForExit(10000));
    EXPECT_EQ(saver.ExitCode(), 0u);
    // No second run was started (with administrator rights, or otherwise).
    vtest::PumpFor(1000);
    EXPECT_EQ(ProcessesNamed(vellora::kSaverFileName), 0);
    EXPECT_TRUE(UninstallEntryExists());
    EXPECT_TRUE(Exists(module.Path()));
    RemoveDirectoryA(BatchPath().c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, vellora::kUninstallKey);
}
