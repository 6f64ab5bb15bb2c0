// Writing the embedded saver module out, and the version check against an installed copy.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "installer/core/installer.h"
#include "installer/core/version_pack.h"
#include "installer/setup.h"
#include "installer/system_platform.h"

namespace vellora::installer {

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

int FileExists(const char* path) {
    FileHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    return file.Valid() ? 1 : 0;
}

int WriteResourceToFile(const char* filePath, const char* resourceName) {
    HINSTANCE instance = InstallerInstance();
    HRSRC resource = FindResourceA(instance, resourceName, RT_RCDATA);
    if (resource == nullptr) return 0;
    const DWORD size = SizeofResource(instance, resource);
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
    if (bytes == nullptr) return 0;
    FileHandle file(CreateFileA(filePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return 0;
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size) return 0;
    return 1;
}

std::uint32_t GetVersionField(const char* filePath, const char* fieldName) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(filePath, &handle);
    if (size == 0) return 0;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(filePath, 0, size, block.data())) return 0;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        translation == nullptr || length < 2 * sizeof(WORD)) {
        return 0;
    }
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%08lx\\%s",
                  static_cast<unsigned long>(translation[0]) * 65536ul + translation[1], fieldName);
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) || text == nullptr) return 0;
    // Read no further than the value the block says it holds, terminated or not.
    return PackVersionText(std::string(text, strnlen(text, length)).c_str());
}

int InstallSaverFile(HWND owner, const char* targetPath, const char* resourceName, const char* displayName) {
    SystemPlatform platform(owner, resourceName);
    return PlaceSaverModule(platform, targetPath, displayName) ? 1 : 0;
}

}  // namespace vellora::installer
