// VelloraSetup.exe: the program ends with the run's exit code.
#include "installer/setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    return vellora::installer::RunInstaller(instance, previous, commandLine, show);
}
