#include "saver/config/registry_profile.h"

#include <utility>

#include "win/handles.h"
#include "win/module.h"

namespace vellora {

RegistryProfile::RegistryProfile(std::string registryKey, std::string appName)
    : registryKey_(std::move(registryKey)), appName_(std::move(appName)) {}

std::string RegistryProfile::SectionPath(const char* section) const {
    return "Software\\" + registryKey_ + "\\" + appName_ + "\\" + section;
}

std::int32_t RegistryProfile::GetInt(const char* section, const char* key, std::int32_t defaultValue) const {
    win::RegKey hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, hkey.Receive()) !=
        ERROR_SUCCESS)
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExA(hkey.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return defaultValue;
    return static_cast<std::int32_t>(value);
}

bool RegistryProfile::WriteInt(const char* section, const char* key, std::int32_t value) {
    win::RegKey hkey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, hkey.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(hkey.Get(), key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
           ERROR_SUCCESS;
}

std::string RegistryProfile::RunningModuleName() { return win::FileStem(win::RunningModulePath()); }

}  // namespace vellora
