// The installer's Windows side: its main sequence, the placement of the embedded saver module, and
// its three windows. Plain functions and window procedures on one thread; the decisions they carry
// out are taken by the portable core (installer/core).
#pragma once

#include <cstdint>

#include "win/win32.h"

namespace vellora::installer {

// The name of the raw-data resource that holds the saver module, byte for byte.
constexpr const char* kSaverResource = "RESOURCE_SAVER";
// The backdrop's window class.
constexpr const char* kBackdropClass = "InstallClass";

// The module whose resources the installer uses: the one RunInstaller was given, else the program.
HINSTANCE InstallerInstance();
void KeepInstallerInstance(HINSTANCE instance);

// The whole run; the exit code: 2 when nothing was shown past the welcome dialog, else 1.
int RunInstaller(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
void RegisterBackdropClass();
// Names path in "system.ini" as the active screen saver and switches the screen saver on.
void ActivateSaver(const char* path);

// Puts the resource at targetPath, asking first when a copy is there; messages are owned by owner.
// 1 when the module was written.
int InstallSaverFile(HWND owner, const char* targetPath, const char* resourceName, const char* displayName);
// 1 when the whole RT_RCDATA resource was written to the file.
int WriteResourceToFile(const char* filePath, const char* resourceName);
// 1 when the file can be opened.
int FileExists(const char* path);
// The packed version of a string of the file's version block, 0 when it cannot be read.
std::uint32_t GetVersionField(const char* filePath, const char* fieldName);

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// lParam of WM_INITDIALOG: the display name.
INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vellora::installer
