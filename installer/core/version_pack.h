// The version number the installer compares: a version text such as "1, 2, 0, 0" packed into 32 bits.
#pragma once

#include <cstdint>

namespace vellora::installer {

// Up to four numeric fields, separated by '.' or ',', each read as the "%i" conversion reads a
// number (white space skipped, a sign, "0x" for hexadecimal, a leading 0 for octal) and packed into
// one byte, the first field highest. A token without a number ends the text; missing fields are 0.
// A null or empty text packs to 0.
std::uint32_t PackVersionText(const char* text);

}  // namespace vellora::installer
