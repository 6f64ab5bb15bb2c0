// Names the saver module and the installer must agree on. Each is written here once.
#pragma once

namespace vellora {

// The name in the system's software list; the installer's string table entry 1 holds the same text.
constexpr const char* kDisplayName = "Vellora Saver";
// The uninstall entry's key under HKEY_LOCAL_MACHINE: the installer creates it, the saver's
// uninstall deletes it.
constexpr const char* kUninstallKeyParent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vellora Saver";
// The switch the uninstall entry's command ends with.
constexpr const char* kUninstallSwitch = "-UNINSTALL";
// The saver module's file name, as installed into the Windows directory.
constexpr const char* kSaverFileName = "VelloraSaver.scr";

}  // namespace vellora
