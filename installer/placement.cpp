// Writing the embedded saver module out, and the version check against an installed copy.
#include "installer/core/installer.h"
#include "installer/core/version_pack.h"
#include "installer/setup.h"
#include "installer/system_platform.h"
#include "win/handles.h"
#include "win/version_block.h"

namespace vellora::installer {

int FileExists(const char* path) {
    win::KernelHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
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
    win::KernelHandle file(
        CreateFileA(filePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return 0;
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size) return 0;
    return 1;
}

std::uint32_t GetVersionField(const char* filePath, const char* fieldName) {
    // The field of the block's first translation; a block or field that cannot be read counts as 0.
    const win::VersionBlock block = win::VersionBlock::Read(filePath);
    return PackVersionText(block.String(fieldName));
}

int InstallSaverFile(HWND owner, const char* targetPath, const char* resourceName, const char* displayName) {
    SystemPlatform platform(owner, resourceName);
    return PlaceSaverModule(platform, targetPath, displayName) ? 1 : 0;
}

}  // namespace vellora::installer
