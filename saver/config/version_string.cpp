#include "saver/config/version_string.h"

#include "saver/config/version_text.h"
#include "win/module.h"
#include "win/version_block.h"

namespace vellora {

std::string FileVersionString(const char* path) {
    const win::VersionBlock block = win::VersionBlock::Read(path);
    const VS_FIXEDFILEINFO* fixed = block.Fixed();
    // The fields are taken as found; the fixed part's signature is not examined.
    if (fixed == nullptr) return kUnknownVersion;
    return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

std::string GetVersionString() {
    const std::string path = win::RunningModulePath();
    if (path.empty()) return kUnknownVersion;
    return FileVersionString(path.c_str());
}

}  // namespace vellora
