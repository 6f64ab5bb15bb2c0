#include "saver/app/run_mode.h"

#include <cstring>

#include "saver/config/product.h"

namespace vellora {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool AsciiEqualsIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

bool MatchSwitch(const char* argument, const char* switchText, TextEqualsIgnoringCase equals) {
    if (*argument == '-' || *argument == '/') ++argument;
    return equals(argument, switchText);
}

RunMode SelectRunMode(int argc, const char* const* argv, TextEqualsIgnoringCase equals) {
    if (argc < 2 || argv[1] == nullptr) return RunMode::Configure;
    const char* first = argv[1];
    // The second character is looked at only when there is one.
    const bool hasSecond = first[0] != '\0';
    if (hasSecond && first[1] == 'c') return RunMode::Configure;
    if (first[0] == 'c') return RunMode::Configure;
    if (MatchSwitch(first, "p", equals)) return RunMode::Preview;
    if (hasSecond && first[1] == 's') return RunMode::FullScreen;
    if (first[0] == 's') return RunMode::FullScreen;
    if (std::strcmp(first, kUninstallSwitch) == 0) return RunMode::Uninstall;
    return RunMode::None;
}

}  // namespace vellora
