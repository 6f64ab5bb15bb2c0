#include "saver/config/registry_profile.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

namespace vellora {

RegistryProfile::RegistryProfile(std::string registryKey, std::string appName)
    : registryKey_(std::move(registryKey)), appName_(std::move(appName)) {}

std::string RegistryProfile::SectionPath(const char* section) const {
    return "Software\\" + registryKey_ + "\\" + appName_ + "\\" + section;
}

std::int32_t RegistryProfile::GetInt(const char* section, const char* key, std::int32_t defaultValue) const {
    HKEY hkey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS)
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExA(hkey, key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(hkey);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return defaultValue;
    return static_cast<std::int32_t>(value);
}

bool RegistryProfile::WriteInt(const char* section, const char* key, std::int32_t value) {
    HKEY hkey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &hkey, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    const LONG result =
        RegSetValueExA(hkey, key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(hkey);
    return result == ERROR_SUCCESS;
}

std::string RegistryProfile::RunningModuleName() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string name(path, length);
    const std::string::size_type slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace vellora
