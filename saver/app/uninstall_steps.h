// The saver's own uninstall, apart from the system calls: the batch file that deletes the module
// once its process has gone, and the order of the steps. A running program cannot delete its own
// file, so it writes the batch, removes its entry from the software list, starts the batch hidden
// and ends. Nothing else is undone: the settings stay.
#pragma once

#include <string>

namespace vellora {

// The batch file's name in the Windows directory.
constexpr const char* kUninstallBatchName = "uninstss.bat";
// The batch gives up after this many tries, about a second apart (a file that can never be
// deleted must not keep a hidden command processor busy for ever).
constexpr int kUninstallTries = 20;

// The batch file's path in windowsDirectory; empty when it would not fit a path of 260 characters.
std::string UninstallBatchPath(const std::string& windowsDirectory);

// The batch file's bytes (lines end in CR LF) for the module's short path: it deletes the module,
// tries again while the file exists, then deletes itself. The path is written so that the command
// processor reads it literally ('%' doubled). Empty for a path that holds a control character or a
// double quote, which no Windows path holds and which would let the path end its line or quote.
std::string UninstallBatchText(const std::string& shortModulePath);

// Marks the uninstall that the saver started with administrator rights: it never starts another.
constexpr const char* kElevatedSwitch = "-ELEVATED";

// What the uninstall needs of the system.
class UninstallSystem {
public:
    enum class Result { Done, Denied, Failed };
    virtual ~UninstallSystem() = default;
    // Writes the batch file for the module (replacing an older one); batchPath receives its path.
    virtual Result WriteBatch(const std::string& modulePath, std::string& batchPath) = 0;
    virtual void DeleteBatch(const std::string& batchPath) = 0;
    // Removes the saver's entry from the software list.
    virtual Result DeleteUninstallKey() = 0;
    // Starts the command processor on the batch file without a window and returns at once.
    virtual void StartHidden(const std::string& batchPath) = 0;
    // True when this process already holds administrator rights.
    virtual bool IsElevated() = 0;
    // Starts the module again with administrator rights and these arguments (the user is asked);
    // false when it was not started (declined, or not possible).
    virtual bool StartElevated(const std::string& arguments) = 0;
};

enum class UninstallOutcome {
    Started,          // batch written, entry removed, batch running
    HandedOver,       // the saver runs again with administrator rights and does the uninstall
    NothingChanged,   // the batch could not be written, or the rights were refused
};

// The uninstall for the module at modulePath. Without the rights to write into the Windows
// directory or to remove the entry, it asks once for them by starting itself again (elevated is
// true in that second run, which never asks again); what it had done by then is taken back.
UninstallOutcome RunUninstallSteps(UninstallSystem& system, const std::string& modulePath, bool elevated);

}  // namespace vellora
