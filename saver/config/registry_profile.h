// The settings profile in the per-user registry:
// HKEY_CURRENT_USER\Software\<registry key>\<application name>\<section>, one REG_DWORD per key.
#pragma once

#include <string>

#include "saver/config/settings.h"

namespace vellora {

class RegistryProfile : public Profile {
public:
    RegistryProfile(std::string registryKey, std::string appName);

    // The caller's default when the value is missing or is not a REG_DWORD.
    std::int32_t GetInt(const char* section, const char* key, std::int32_t defaultValue) const override;
    // Creates the keys on the way as needed.
    bool WriteInt(const char* section, const char* key, std::int32_t value) override;

    // The key path under HKEY_CURRENT_USER that holds a section.
    std::string SectionPath(const char* section) const;

    // The running module's file name without directory and extension ("VelloraSaver" for
    // C:\Windows\VelloraSaver.scr): the application name the profile is kept under.
    static std::string RunningModuleName();

private:
    std::string registryKey_;
    std::string appName_;
};

}  // namespace vellora
