// The installer's main sequence and the activation of the installed saver.
#include "installer/core/installer.h"
#include "installer/setup.h"
#include "installer/system_platform.h"

namespace vellora::installer {

void ActivateSaver(const char* path) {
    char shortPath[MAX_PATH] = "";
    const DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    // Without a short form the path itself names the saver, rather than an empty value.
    const char* name = length > 0 && length < sizeof shortPath ? shortPath : path;
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", name, "system.ini");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
}

int RunInstaller(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    KeepInstallerInstance(instance);
    SystemPlatform platform(nullptr, kSaverResource);
    return RunInstallSequence(platform);
}

}  // namespace vellora::installer
