// The running module's file version as both dialogs show it ("1.2"), read from its version block.
#pragma once

#include <string>

namespace vellora {

// The file version of the module at path, or "Unknown" when it has no readable version block.
std::string FileVersionString(const char* path);
// The same for the running module.
std::string GetVersionString();

}  // namespace vellora
