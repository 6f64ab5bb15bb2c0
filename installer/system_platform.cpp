#include "installer/system_platform.h"

#include <shellapi.h>

#include <vector>

#include "installer/resources/resource.h"
#include "win/handles.h"
#include "win/version_block.h"

namespace vellora::installer {

namespace {

// The system's numbers for what the core names.
static_assert(kBoxYesNoCancel == MB_YESNOCANCEL && kBoxIconWarning == MB_ICONWARNING &&
              kBoxIconInformation == MB_ICONINFORMATION && kBoxOk == MB_OK);
static_assert(kWelcomeInstall == IDOK);

bool FitsPath(const std::string& path) { return path.size() < MAX_PATH; }

}  // namespace

SystemPlatform::~SystemPlatform() { EndWork(); }

bool SystemPlatform::Exists(const std::string& path) { return FileExists(path.c_str()) != 0; }

bool SystemPlatform::WriteModuleTo(const std::string& path) {
    return WriteResourceToFile(path.c_str(), resourceName_) != 0;
}

std::uint32_t SystemPlatform::PackedFileVersion(const std::string& path) {
    return GetVersionField(path.c_str(), "FileVersion");
}

bool SystemPlatform::FixedFileVersion(const std::string& path, std::uint32_t& ms, std::uint32_t& ls) {
    const win::VersionBlock block = win::VersionBlock::Read(path.c_str());
    const VS_FIXEDFILEINFO* fixed = block.Fixed();
    if (fixed == nullptr) return false;
    ms = fixed->dwFileVersionMS;
    ls = fixed->dwFileVersionLS;
    return true;
}

bool SystemPlatform::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool SystemPlatform::CreateFreshFile(const std::string& folder, std::string& path) {
    char directory[MAX_PATH + 1];
    if (folder.empty()) {
        const DWORD length = GetTempPathA(sizeof directory, directory);
        if (length == 0 || length >= sizeof directory) return false;
    } else {
        if (!FitsPath(folder)) return false;
        lstrcpynA(directory, folder.c_str(), sizeof directory);
    }
    char name[MAX_PATH];
    if (GetTempFileNameA(directory, "sci", 0, name) == 0) return false;
    path = name;
    return true;
}

bool SystemPlatform::CopyOver(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool SystemPlatform::MoveOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::uint64_t SystemPlatform::ModuleSize() {
    HRSRC resource = FindResourceA(InstallerInstance(), resourceName_, RT_RCDATA);
    return resource == nullptr ? 0 : SizeofResource(InstallerInstance(), resource);
}

int SystemPlatform::Show(Message message, const std::string& text) {
    EndWork();
    const MessageText& box = TextOf(message);
    return MessageBoxA(owner_, text.c_str(), box.caption, box.type);
}

Answer SystemPlatform::Ask(Message message, const std::string& text) {
    switch (Show(message, text)) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Cancel;
    }
}

void SystemPlatform::Tell(Message message, const std::string& text) { Show(message, text); }

std::string SystemPlatform::LoadText(unsigned id, std::size_t capacity) {
    std::vector<char> text(capacity);
    const int length = LoadStringA(InstallerInstance(), id, text.data(), static_cast<int>(capacity));
    return length > 0 ? std::string(text.data(), static_cast<std::size_t>(length)) : std::string();
}

bool SystemPlatform::CreateBackdrop() {
    RegisterBackdropClass();
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    owner_ = CreateWindowExA(0, kBackdropClass, "Install Saver", WS_POPUP | WS_VISIBLE, area.left, area.top,
                             area.right - area.left, area.bottom - area.top, nullptr, nullptr, InstallerInstance(),
                             nullptr);
    return owner_ != nullptr;
}

int SystemPlatform::Welcome(const std::string& displayName) {
    return static_cast<int>(DialogBoxParamA(InstallerInstance(), MAKEINTRESOURCEA(IDD_WELCOME), owner_,
                                            WelcomeDlgProc, reinterpret_cast<LPARAM>(displayName.c_str())));
}

void SystemPlatform::BeginWork() {
    previousCursor_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    working_ = true;
    // The area under the closed dialog is painted before the work starts.
    InvalidateRect(owner_, nullptr, FALSE);
    UpdateWindow(owner_);
}

void SystemPlatform::EndWork() {
    if (!working_) return;
    SetCursor(previousCursor_);
    working_ = false;
}

std::string SystemPlatform::WindowsDirectory() {
    // Read whole whatever its length, so that a directory too long for the paths is recognised as
    // such rather than cut.
    std::vector<char> directory(MAX_PATH);
    UINT length = GetWindowsDirectoryA(directory.data(), static_cast<UINT>(directory.size()));
    if (length >= directory.size()) {
        directory.resize(length + 1);
        length = GetWindowsDirectoryA(directory.data(), static_cast<UINT>(directory.size()));
    }
    if (length == 0 || length >= directory.size()) return std::string();
    return std::string(directory.data(), length);
}

void SystemPlatform::ActivateSaver(const std::string& path) { installer::ActivateSaver(path.c_str()); }

bool SystemPlatform::WriteUninstallEntry(const std::string& keyPath, const std::vector<RegistryValue>& values) {
    win::RegKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    for (const RegistryValue& value : values) {
        LONG result;
        if (value.isNumber) {
            const DWORD number = value.number;
            result = RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                    sizeof number);
        } else {
            // The stored length counts the terminating zero.
            result = RegSetValueExA(key.Get(), value.name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.text.c_str()),
                                    static_cast<DWORD>(value.text.size() + 1));
        }
        if (result != ERROR_SUCCESS) return false;
    }
    return true;
}

void SystemPlatform::OpenDisplaySettings() {
    ShellExecuteA(nullptr, "open", "control", "desk.cpl @0,1", nullptr, SW_SHOW);
}

}  // namespace vellora::installer
