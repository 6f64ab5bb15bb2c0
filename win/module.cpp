#include "win/module.h"

namespace vellora::win {

std::string RunningModulePath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return std::string(path, length);
}

std::string FileStem(const std::string& path) {
    std::string name = path;
    const std::string::size_type slash = name.find_last_of("\\/:");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace vellora::win
