// The saver's own uninstall, asked for by the software list with "-UNINSTALL".
#pragma once

namespace vellora {

// batchPath (MAX_PATH characters) receives the path of the batch file that deletes modulePath
// once this process has gone.
void RunUninstall(char* batchPath, const char* modulePath);

}  // namespace vellora
