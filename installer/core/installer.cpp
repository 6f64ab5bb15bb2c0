#include "installer/core/installer.h"

#include "installer/resources/resource.h"
#include "saver/config/product.h"
#include "saver/config/version_text.h"

namespace vellora::installer {

namespace {

void Say(Platform& platform, Message message, const std::string& displayName) {
    platform.Tell(message, MessageBody(message, displayName));
}

bool SaveFailed(Platform& platform, const std::string& displayName) {
    Say(platform, Message::SaveFailure, displayName);
    return false;
}

// The folder of a path, with its separator: "C:\\" stays the root, not the current folder of C:.
std::string FolderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool MakeInstallPaths(const std::string& windowsDirectory, const std::string& fileName, InstallPaths& paths) {
    if (windowsDirectory.empty() || fileName.empty()) return false;
    // A root directory already ends with its separator.
    const char last = windowsDirectory.back();
    const std::string target = windowsDirectory + (last == '\\' || last == '/' ? "" : "\\") + fileName;
    const std::string command = target + " " + kUninstallSwitch;
    if (target.size() >= kPathCapacity || command.size() >= kCommandCapacity) return false;
    paths.target = target;
    paths.uninstallCommand = command;
    return true;
}

std::string UninstallKeyPath(const std::string& displayName) { return kUninstallKeyParent + displayName; }

std::vector<RegistryValue> UninstallValues(Platform& platform, const std::string& displayName,
                                           const InstallPaths& paths) {
    auto text = [](const char* name, const std::string& value) { return RegistryValue{name, value, 0, false}; };
    auto number = [](const char* name, std::uint32_t value) { return RegistryValue{name, "", value, true}; };
    std::vector<RegistryValue> values = {
        text("DisplayName", displayName),
        text("UninstallString", paths.uninstallCommand),
        text("DisplayIcon", paths.target),
    };
    // The version the installed module carries, as its about box shows it: written in one place only.
    std::uint32_t ms = 0, ls = 0;
    if (platform.FixedFileVersion(paths.target, ms, ls)) values.push_back(text("DisplayVersion", FormatFileVersion(ms, ls)));
    values.push_back(text("Publisher", kPublisher));
    values.push_back(number("EstimatedSize", static_cast<std::uint32_t>((platform.ModuleSize() + 1023) / 1024)));
    values.push_back(number("NoModify", 1));
    values.push_back(number("NoRepair", 1));
    return values;
}

bool PlaceSaverModule(Platform& platform, const std::string& target, const std::string& displayName) {
    if (!platform.Exists(target)) {
        if (platform.WriteModuleTo(target)) return true;
        platform.Remove(target);  // no half-written module stays behind
        return SaveFailed(platform, displayName);
    }

    // A copy is installed: extract the offered module to a temporary file to read its version.
    std::string temporary;
    if (!platform.CreateFreshFile("", temporary)) return SaveFailed(platform, displayName);
    if (!platform.WriteModuleTo(temporary)) {
        platform.Remove(temporary);
        return SaveFailed(platform, displayName);
    }
    const std::uint32_t installed = platform.PackedFileVersion(target);
    const std::uint32_t offered = platform.PackedFileVersion(temporary);
    platform.Remove(temporary);

    const Message question = installed < offered ? Message::UpgradeQuestion : Message::ReinstallQuestion;
    if (platform.Ask(question, MessageBody(question, displayName)) != Answer::Yes) return false;

    // The installed copy is kept beside the target until the new module is written, so that a write
    // that fails after the delete (disk full, refused) can put it back.
    std::string backup;
    if (!platform.CreateFreshFile(FolderOf(target), backup)) return SaveFailed(platform, displayName);
    if (!platform.CopyOver(target, backup)) {
        platform.Remove(backup);
        return SaveFailed(platform, displayName);
    }
    if (!platform.Remove(target)) {
        platform.Remove(backup);
        Say(platform, Message::InUse, displayName);
        return false;
    }
    if (platform.WriteModuleTo(target)) {
        platform.Remove(backup);
        return true;
    }
    platform.MoveOver(backup, target);  // replaces whatever part of the new module was written
    return SaveFailed(platform, displayName);
}

int RunInstallSequence(Platform& platform) {
    std::string displayName = platform.LoadText(IDS_DISPLAY_NAME, kNameCapacity);
    if (displayName.empty()) displayName = kFallbackDisplayName;
    if (!platform.CreateBackdrop()) return kExitCancelled;
    // Only Install goes on: Cancel, and a dialog that could not be shown, change nothing.
    if (platform.Welcome(displayName) != kWelcomeInstall) return kExitCancelled;

    platform.BeginWork();
    std::string fileName = platform.LoadText(IDS_FILE_NAME, kNameCapacity);
    if (fileName.empty()) fileName = kFallbackFileName;
    InstallPaths paths;
    if (!MakeInstallPaths(platform.WindowsDirectory(), fileName, paths)) {
        platform.EndWork();
        SaveFailed(platform, displayName);
        return kExitDone;
    }
    if (!PlaceSaverModule(platform, paths.target, displayName)) {
        platform.EndWork();
        return kExitDone;
    }
    platform.ActivateSaver(paths.target);
    const bool entrySaved =
        platform.WriteUninstallEntry(UninstallKeyPath(displayName), UninstallValues(platform, displayName, paths));
    platform.EndWork();
    if (!entrySaved) Say(platform, Message::UninstallNotSaved, displayName);
    Say(platform, Message::Completed, displayName);
    platform.OpenDisplaySettings();
    return kExitDone;
}

}  // namespace vellora::installer
