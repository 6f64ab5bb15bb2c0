#include "saver/app/uninstall.h"

namespace vellora {

// Not built yet: for now the uninstall mode ends the application without doing anything.
void RunUninstall(char* batchPath, const char* modulePath) {
    (void)batchPath;
    (void)modulePath;
}

}  // namespace vellora
