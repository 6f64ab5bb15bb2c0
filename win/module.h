// The running module: its path and its name.
#pragma once

#include <string>

#include "win/win32.h"

namespace vellora::win {

// The full path of the running program, or empty when it does not fit MAX_PATH.
std::string RunningModulePath();
// A path's file name without directory and extension ("VelloraSaver" for C:\Windows\VelloraSaver.scr).
std::string FileStem(const std::string& path);

}  // namespace vellora::win
