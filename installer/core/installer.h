// The installer's decisions: placing the saver module with its version check, and the run from the
// welcome dialog to the completion message. Every system operation goes through Platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/core/platform.h"
#include "saver/config/product.h"

namespace vellora::installer {

// Capacities, with the terminator, of the texts the system hands over in fixed buffers.
constexpr std::size_t kNameCapacity = 50;       // display name, file name
constexpr std::size_t kPathCapacity = 260;      // the installed module's path
constexpr std::size_t kCommandCapacity = 256;   // the uninstall command

// Stand-ins when the string table entries cannot be loaded.
constexpr const char* kFallbackDisplayName = "the Brimsy saver";
constexpr const char* kFallbackFileName = "Brimsy.scr";

// The publisher the system's software list shows.
constexpr const char* kPublisher = VELLORA_PUBLISHER;

// Exit codes.
constexpr int kExitDone = 1;        // every run that got past the welcome dialog
constexpr int kExitCancelled = 2;   // no backdrop, or the welcome dialog was not answered Install

struct InstallPaths {
    std::string target;             // <Windows directory>\<file name>
    std::string uninstallCommand;   // the target, " -UNINSTALL"
};

// The paths for a Windows directory and file name. False when the directory is empty or either
// path would not fit its capacity: nothing may be cut or overflow.
bool MakeInstallPaths(const std::string& windowsDirectory, const std::string& fileName, InstallPaths& paths);

// The uninstall entry's key path under HKEY_LOCAL_MACHINE for a display name.
std::string UninstallKeyPath(const std::string& displayName);

// The uninstall entry's values, in the order they are written. DisplayName and UninstallString come
// first, so that the saver's own uninstall can always find and remove the entry.
std::vector<RegistryValue> UninstallValues(Platform& platform, const std::string& displayName,
                                           const InstallPaths& paths);

// Puts the embedded module at target. When a copy is there, compares versions, asks, and replaces
// it only on Yes; an installed copy is never lost (it is kept beside until the new one is written).
// True when the module has been written; every false has been told to the user or was the user's
// No or Cancel.
bool PlaceSaverModule(Platform& platform, const std::string& target, const std::string& displayName);

// The whole run; returns the process's exit code.
int RunInstallSequence(Platform& platform);

}  // namespace vellora::installer
