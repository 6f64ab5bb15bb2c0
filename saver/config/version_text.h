// The module's file version as both dialogs show it.
#pragma once

#include <cstdint>
#include <string>

namespace vellora {

// Shown when the running module's version block cannot be read.
constexpr const char* kUnknownVersion = "Unknown";

// The four 16-bit fields of a fixed file version (most significant word first), dotted, with
// trailing zero fields dropped but never fewer than two: 1.2.0.0 gives "1.2", 1.2.0.4 "1.2.0.4".
std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS);

}  // namespace vellora
