// The saver's own uninstall, asked for by the software list with "-UNINSTALL": a batch file in the
// Windows directory deletes the module once its process has gone; the software list's entry goes
// at once. The steps and the batch's text are in uninstall_steps.h.
#pragma once

#include "saver/app/uninstall_steps.h"

namespace vellora {

// Writes the batch file that deletes the module at modulePath (named by its short path) into the
// Windows directory, replacing an older one; batchPath (MAX_PATH characters) receives its path.
// False when it could not be written, with the system's last error saying why; no partial file
// is left then.
bool WriteUninstallBatch(char* batchPath, const char* modulePath);

// The whole uninstall of the module at modulePath. elevated: this run was started with
// administrator rights by an uninstall that lacked them.
UninstallOutcome RunUninstall(const char* modulePath, bool elevated);

}  // namespace vellora
