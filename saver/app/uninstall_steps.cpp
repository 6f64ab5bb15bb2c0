#include "saver/app/uninstall_steps.h"

#include "saver/config/product.h"

namespace vellora {

namespace {

constexpr std::string::size_type kMaxPath = 260;  // with the terminating zero

}  // namespace

std::string UninstallBatchPath(const std::string& windowsDirectory) {
    if (windowsDirectory.empty()) return std::string();
    std::string path = windowsDirectory;
    if (path.back() != '\\') path += '\\';
    path += kUninstallBatchName;
    if (path.size() >= kMaxPath) return std::string();
    return path;
}

std::string UninstallBatchText(const std::string& shortModulePath) {
    // A batch file expands %...% even inside double quotes; "%%" stands for one '%'. A quote would
    // end the quoting and a line break start a command of its own: no Windows path holds either,
    // but the module's path as started is the starter's text, so such a path is refused.
    std::string path;
    for (char c : shortModulePath) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '"') return std::string();
        path += c;
        if (c == '%') path += '%';
    }
    const std::string quoted = "\"" + path + "\"";
    const std::string crlf = "\r\n";
    // It runs hidden: nothing to show.
    return "@ECHO OFF" + crlf +
           "SET /A tries=0" + crlf +
           ":f" + crlf +
           "DEL " + quoted + crlf +
           "IF NOT EXIST " + quoted + " GOTO e" + crlf +
           "SET /A tries+=1" + crlf +
           "IF %tries% GEQ " + std::to_string(kUninstallTries) + " GOTO e" + crlf +
           // About a second between tries: the second echo request waits for the first.
           "PING -n 2 127.0.0.1 >NUL" + crlf +
           "GOTO f" + crlf +
           ":e" + crlf +
           "DEL %0" + crlf;
}

UninstallOutcome RunUninstallSteps(UninstallSystem& system, const std::string& modulePath, bool elevated) {
    if (modulePath.empty()) return UninstallOutcome::NothingChanged;  // nothing names the file
    const bool mayAsk = !elevated && !system.IsElevated();
    const std::string arguments = std::string(kUninstallSwitch) + " " + kElevatedSwitch;
    std::string batchPath;
    switch (system.WriteBatch(modulePath, batchPath)) {
    case UninstallSystem::Result::Done:
        break;
    case UninstallSystem::Result::Denied:
        if (mayAsk && system.StartElevated(arguments)) return UninstallOutcome::HandedOver;
        return UninstallOutcome::NothingChanged;
    case UninstallSystem::Result::Failed:
        return UninstallOutcome::NothingChanged;
    }
    // Without the right to remove the entry, the file must stay too: the entry would otherwise
    // name a file that is gone. A missing entry does not stop the removal of the file.
    if (system.DeleteUninstallKey() == UninstallSystem::Result::Denied) {
        system.DeleteBatch(batchPath);
        if (mayAsk && system.StartElevated(arguments)) return UninstallOutcome::HandedOver;
        return UninstallOutcome::NothingChanged;
    }
    system.StartHidden(batchPath);
    return UninstallOutcome::Started;
}

}  // namespace vellora
