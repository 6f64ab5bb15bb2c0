// The run mode the command line asks for, decided once at start. Screen-saver hosts pass "/s"
// (run), "/c" (configure, optionally ":<window>") and "/p <window>" (preview); the software list
// passes "-UNINSTALL".
#pragma once

namespace vellora {

enum class RunMode {
    Configure,
    Preview,     // the second argument names the host's window
    FullScreen,
    Uninstall,
    None,        // nothing to do: the application ends at once
};

// True when a and b are equal ignoring case. The saver passes the system's comparison.
using TextEqualsIgnoringCase = bool (*)(const char* a, const char* b);
bool AsciiEqualsIgnoringCase(const char* a, const char* b);

// Skips one leading '-' or '/' of the argument, then compares the rest with the switch ignoring case.
bool MatchSwitch(const char* argument, const char* switchText,
                 TextEqualsIgnoringCase equals = &AsciiEqualsIgnoringCase);

// argv[0] is the program; argv[1], when there is one, selects the mode. The letter tests for
// 'c' and 's' take lower case only, so "/S" and "/C" do nothing.
RunMode SelectRunMode(int argc, const char* const* argv,
                      TextEqualsIgnoringCase equals = &AsciiEqualsIgnoringCase);

}  // namespace vellora
