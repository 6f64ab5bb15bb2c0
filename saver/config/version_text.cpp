#include "saver/config/version_text.h"

#include <cstdio>

namespace vellora {

std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS) {
    const unsigned f1 = versionMS >> 16, f2 = versionMS & 0xFFFFu;
    const unsigned f3 = versionLS >> 16, f4 = versionLS & 0xFFFFu;
    char text[32];
    if (f4 != 0)
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", f1, f2, f3, f4);
    else if (f3 != 0)
        std::snprintf(text, sizeof text, "%u.%u.%u", f1, f2, f3);
    else
        std::snprintf(text, sizeof text, "%u.%u", f1, f2);
    return text;
}

}  // namespace vellora
