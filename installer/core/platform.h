// The operations the installer's decisions need from the system. The Windows side implements them
// on Win32; the tests implement them in memory. Names avoid the ones windows.h turns into macros.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "installer/core/messages.h"

namespace vellora::installer {

enum class Answer { Yes, No, Cancel };

// The welcome dialog's result for Install (the system's IDOK); Cancel ends it with IDCANCEL (2).
constexpr int kWelcomeInstall = 1;

// One value of the uninstall entry: a text, or a 32-bit number when isNumber.
struct RegistryValue {
    std::string name;
    std::string text;
    std::uint32_t number = 0;
    bool isNumber = false;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Files. Paths are whole paths in the system's code page.
    virtual bool Exists(const std::string& path) = 0;
    // Writes the embedded saver module, whole, to path (created or replaced).
    virtual bool WriteModuleTo(const std::string& path) = 0;
    // The packed "FileVersion" of a file's version block; 0 when it cannot be read.
    virtual std::uint32_t PackedFileVersion(const std::string& path) = 0;
    // The fixed file version of a file's version block (most and least significant words).
    virtual bool FixedFileVersion(const std::string& path, std::uint32_t& ms, std::uint32_t& ls) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Creates an empty file with a fresh name and prefix "sci" in folder (named with its trailing
    // separator), or in the temporary directory when folder is empty.
    virtual bool CreateFreshFile(const std::string& folder, std::string& path) = 0;
    virtual bool CopyOver(const std::string& from, const std::string& to) = 0;
    // Renames from to to, replacing to.
    virtual bool MoveOver(const std::string& from, const std::string& to) = 0;
    // The bytes of the embedded saver module.
    virtual std::uint64_t ModuleSize() = 0;

    // The user. Both show a message box owned by the backdrop, with the normal cursor.
    virtual Answer Ask(Message message, const std::string& text) = 0;
    virtual void Tell(Message message, const std::string& text) = 0;

    // The run.
    // String table entry id of the installer, at most capacity - 1 characters; empty when missing.
    virtual std::string LoadText(unsigned id, std::size_t capacity) = 0;
    // The backdrop over the work area; false when it cannot be created.
    virtual bool CreateBackdrop() = 0;
    // The welcome dialog, modal: what it ended with (kWelcomeInstall for Install), or -1 when it
    // could not be shown.
    virtual int Welcome(const std::string& displayName) = 0;
    // The wait cursor on, and the backdrop repainted under the closed dialog.
    virtual void BeginWork() = 0;
    // The cursor from before BeginWork back.
    virtual void EndWork() = 0;
    // The Windows directory without a trailing separator; empty when it cannot be read.
    virtual std::string WindowsDirectory() = 0;
    // Makes the file the active screen saver.
    virtual void ActivateSaver(const std::string& path) = 0;
    // Creates (or opens) the key under HKEY_LOCAL_MACHINE and sets the values in order, stopping
    // at the first that fails. False when the key or any value could not be written.
    virtual bool WriteUninstallEntry(const std::string& keyPath, const std::vector<RegistryValue>& values) = 0;
    // The display control panel on its screen-saver page.
    virtual void OpenDisplaySettings() = 0;
};

}  // namespace vellora::installer
