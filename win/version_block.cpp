#include "win/version_block.h"

namespace vellora::win {

VersionBlock VersionBlock::Read(const char* path) {
    VersionBlock block;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return block;
    block.data_.resize(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data_.data())) block.data_.clear();
    return block;
}

const VS_FIXEDFILEINFO* VersionBlock::Fixed() const {
    if (!Valid()) return nullptr;
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data_.data(), "\\", &fixed, &length) || fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(fixed);
}

std::vector<WORD> VersionBlock::Translations() const {
    std::vector<WORD> out;
    if (!Valid()) return out;
    void* table = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &table, &length) || table == nullptr) return out;
    const WORD* words = static_cast<const WORD*>(table);
    out.assign(words, words + length / sizeof(WORD));
    return out;
}

const char* VersionBlock::String(const char* name) const {
    const std::vector<WORD> translations = Translations();
    if (translations.size() < 2) return nullptr;
    // wsprintf rather than the C library's formatting, which would grow the saver.
    char query[128];
    if (lstrlenA(name) > 64) return nullptr;
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translations[0], translations[1], name);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data_.data(), query, &value, &length) || value == nullptr) return nullptr;
    return static_cast<const char*>(value);
}

}  // namespace vellora::win
