#include "saver/app/uninstall.h"

#include "win/win32.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "saver/config/product.h"
#include "win/handles.h"
#include "win/module.h"

namespace vellora {

bool WriteUninstallBatch(char* batchPath, const char* modulePath) {
    batchPath[0] = '\0';
    char windows[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::string path = UninstallBatchPath(windows);
    if (path.empty()) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    // Without a short form (a volume that keeps none) the path goes as it is; it is quoted.
    char shortPath[MAX_PATH] = "";
    const DWORD shortLength = GetShortPathNameA(modulePath, shortPath, MAX_PATH);
    const std::string text = UninstallBatchText(shortLength > 0 && shortLength < MAX_PATH ? shortPath : modulePath);
    if (text.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::memcpy(batchPath, path.c_str(), path.size() + 1);
    win::KernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        const DWORD error = GetLastError();
        file.Reset();
        DeleteFileA(path.c_str());
        SetLastError(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

namespace {

class SystemUninstall : public UninstallSystem {
public:
    Result WriteBatch(const std::string& modulePath, std::string& batchPath) override {
        char path[MAX_PATH] = "";
        if (WriteUninstallBatch(path, modulePath.c_str())) {
            batchPath = path;
            return Result::Done;
        }
        return GetLastError() == ERROR_ACCESS_DENIED ? Result::Denied : Result::Failed;
    }

    void DeleteBatch(const std::string& batchPath) override { DeleteFileA(batchPath.c_str()); }

    Result DeleteUninstallKey() override {
        const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        if (result == ERROR_SUCCESS) return Result::Done;
        return result == ERROR_ACCESS_DENIED ? Result::Denied : Result::Failed;
    }

    void StartHidden(const std::string& batchPath) override {
        const std::string command = "\"" + batchPath + "\"";
        WinExec(command.c_str(), SW_HIDE);
    }

    bool IsElevated() override {
        win::KernelHandle token;
        HANDLE opened = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
        token.Reset(opened);
        TOKEN_ELEVATION elevation{};
        DWORD size = 0;
        // Systems without user account control know no elevation: the caller may ask for rights.
        if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) return false;
        return elevation.TokenIsElevated != 0;
    }

    bool StartElevated(const std::string& arguments) override {
        const std::string module = win::RunningModulePath();
        if (module.empty()) return false;
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOASYNC;
        info.lpVerb = "runas";
        info.lpFile = module.c_str();
        info.lpParameters = arguments.c_str();
        info.nShow = SW_SHOWNORMAL;
        // Declined by the user: false, and nothing has changed.
        return ShellExecuteExA(&info) != FALSE;
    }
};

}  // namespace

UninstallOutcome RunUninstall(const char* modulePath, bool elevated) {
    SystemUninstall system;
    return RunUninstallSteps(system, modulePath, elevated);
}

}  // namespace vellora
