// The installer core's system operations on Win32.
#pragma once

#include "installer/core/platform.h"
#include "installer/setup.h"

namespace vellora::installer {

class SystemPlatform : public Platform {
public:
    // Messages are owned by owner; the module comes from the RT_RCDATA resource resourceName.
    SystemPlatform(HWND owner, const char* resourceName) : owner_(owner), resourceName_(resourceName) {}
    ~SystemPlatform() override;
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    bool Exists(const std::string& path) override;
    bool WriteModuleTo(const std::string& path) override;
    std::uint32_t PackedFileVersion(const std::string& path) override;
    bool FixedFileVersion(const std::string& path, std::uint32_t& ms, std::uint32_t& ls) override;
    bool Remove(const std::string& path) override;
    bool CreateFreshFile(const std::string& folder, std::string& path) override;
    bool CopyOver(const std::string& from, const std::string& to) override;
    bool MoveOver(const std::string& from, const std::string& to) override;
    std::uint64_t ModuleSize() override;
    Answer Ask(Message message, const std::string& text) override;
    void Tell(Message message, const std::string& text) override;
    std::string LoadText(unsigned id, std::size_t capacity) override;
    bool CreateBackdrop() override;
    int Welcome(const std::string& displayName) override;
    void BeginWork() override;
    void EndWork() override;
    std::string WindowsDirectory() override;
    void ActivateSaver(const std::string& path) override;
    bool WriteUninstallEntry(const std::string& keyPath, const std::vector<RegistryValue>& values) override;
    void OpenDisplaySettings() override;

    HWND Backdrop() const { return owner_; }

private:
    int Show(Message message, const std::string& text);

    HWND owner_;
    const char* resourceName_;
    bool working_ = false;
    HCURSOR previousCursor_ = nullptr;
};

}  // namespace vellora::installer
