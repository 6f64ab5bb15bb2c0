// The run-mode decision from the command line, row by row of the switch table.
#include "saver/app/run_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vellora::MatchSwitch;
using vellora::RunMode;
using vellora::SelectRunMode;

namespace {

RunMode ModeOf(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "VelloraSaver.scr");
    return SelectRunMode(static_cast<int>(arguments.size()), arguments.data());
}

const char* NameOf(RunMode mode) {
    switch (mode) {
    case RunMode::Configure: return "Configure";
    case RunMode::Preview: return "Preview";
    case RunMode::FullScreen: return "FullScreen";
    case RunMode::Uninstall: return "Uninstall";
    case RunMode::None: return "None";
    }
    return "?";
}

}  // namespace

TEST(RunMode, SwitchTable) {
    struct Case {
        std::vector<const char*> arguments;
        RunMode mode;
    } cases[] = {
        {{}, RunMode::Configure},                    // no argument: the options dialog
        {{"/c"}, RunMode::Configure},
        {{"-c"}, RunMode::Configure},
        {{"/c:1234"}, RunMode::Configure},           // the handle after the letter is ignored
        {{"/c", "1234"}, RunMode::Configure},
        {{"c"}, RunMode::Configure},
        {{"/C"}, RunMode::None},                     // the letter tests take lower case only
        {{"/p", "1234"}, RunMode::Preview},
        {{"-P", "1234"}, RunMode::Preview},
        {{"p", "1234"}, RunMode::Preview},
        {{"/p"}, RunMode::Preview},                  // the missing handle is the preview's business
        {{"/p:1234"}, RunMode::None},
        {{"//p"}, RunMode::None},                    // only one leading '-' or '/' is skipped
        {{"/s"}, RunMode::FullScreen},
        {{"-s"}, RunMode::FullScreen},
        {{"s"}, RunMode::FullScreen},
        {{"/save"}, RunMode::FullScreen},
        {{"/S"}, RunMode::None},
        {{"/a"}, RunMode::None},
        {{"-UNINSTALL"}, RunMode::Uninstall},
        {{"-uninstall"}, RunMode::None},             // compared with case
        {{"/UNINSTALL"}, RunMode::None},
        {{"-UNINSTALL", "extra"}, RunMode::Uninstall},
        {{""}, RunMode::None},                       // no second character is read
        {{"-"}, RunMode::None},
        {{"/sc"}, RunMode::FullScreen},              // 's' is the second character here
        {{"sc"}, RunMode::Configure},                // a second-character 'c' wins over everything
        {{"xc"}, RunMode::Configure},
        {{"cp"}, RunMode::Configure},                // a first-character 'c' wins over the preview
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const char* a : c.arguments) shown += std::string(" \"") + a + "\"";
        EXPECT_STREQ(NameOf(ModeOf(c.arguments)), NameOf(c.mode)) << "arguments:" << shown;
    }
}

TEST(RunMode, ArgumentMatcher) {
    struct Case {
        const char* argument;
        const char* switchText;
        bool matches;
    } cases[] = {
        {"/p", "p", true}, {"-p", "p", true}, {"p", "p", true}, {"/P", "p", true},
        {"//p", "p", false}, {"-/p", "p", false}, {"/p:1", "p", false}, {"/pp", "p", false},
        {"", "p", false}, {"/", "p", false}, {"/", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchSwitch(c.argument, c.switchText), c.matches) << c.argument << " for " << c.switchText;
    }
}

TEST(RunMode, TheMatcherUsesTheComparisonItIsGiven) {
    // The saver passes the system's comparison; whatever it says decides row 4.
    auto alwaysEqual = [](const char*, const char*) { return true; };
    const char* argv[] = {"VelloraSaver.scr", "/x"};
    EXPECT_EQ(SelectRunMode(2, argv, alwaysEqual), RunMode::Preview);
    EXPECT_FALSE(MatchSwitch("/p", "p", [](const char*, const char*) { return false; }));
}
