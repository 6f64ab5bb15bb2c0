// Names the saver module and the installer must agree on. Each is written here once: the macros
// serve the resource scripts (which include this file too), the constants the code.
#pragma once

// The name in the system's software list; the installer's string table entry 1.
#define VELLORA_DISPLAY_NAME "Vellora Saver"
// The saver module's file name, as installed into the Windows directory.
#define VELLORA_SAVER_FILE_NAME "VelloraSaver.scr"
// The download page that the installer's and the options dialog's links open.
#define VELLORA_DOWNLOAD_URL "https://vellora.example/download/"
// Who publishes both programs, as the software list and the version blocks show it.
#define VELLORA_PUBLISHER "The Vellora Saver developers"
#define VELLORA_COPYRIGHT "Freeware. Copyright (C) the Vellora Saver developers"

#ifndef RC_INVOKED
namespace vellora {

constexpr const char* kDisplayName = VELLORA_DISPLAY_NAME;
// The uninstall entry's key under HKEY_LOCAL_MACHINE: the installer creates it, the saver's
// uninstall deletes it.
#define VELLORA_UNINSTALL_KEY_PARENT "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
constexpr const char* kUninstallKeyParent = VELLORA_UNINSTALL_KEY_PARENT;
constexpr const char* kUninstallKey = VELLORA_UNINSTALL_KEY_PARENT VELLORA_DISPLAY_NAME;
// The switch the uninstall entry's command ends with.
constexpr const char* kUninstallSwitch = "-UNINSTALL";
constexpr const char* kSaverFileName = VELLORA_SAVER_FILE_NAME;

}  // namespace vellora
#endif
