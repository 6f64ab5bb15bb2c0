// A module's version block: its fixed part and its string fields, read from the file as the system
// and the installer read them. Its own file, so that a program that never reads one does not carry it.
#pragma once

#include <vector>

#include "win/win32.h"

namespace vellora::win {

// A module file's version resource, read as the system and the installer read it.
class VersionBlock {
public:
    // Empty (Valid() false) when the file has no version block or cannot be read.
    static VersionBlock Read(const char* path);

    bool Valid() const { return !data_.empty(); }
    // The fixed part, or null when the block has none.
    const VS_FIXEDFILEINFO* Fixed() const;
    // A string field ("FileVersion") of the block's first translation, or null when absent.
    const char* String(const char* name) const;
    // The translations, language and code page alternating.
    std::vector<WORD> Translations() const;

private:
    std::vector<char> data_;
};

}  // namespace vellora::win
