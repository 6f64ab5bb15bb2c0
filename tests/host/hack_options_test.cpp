// The X11 front end's command line: the XScreenSaver hack contract, the ten settings as options,
// the refusals, and the XScreenSaver description made from the same table.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "saver/config/settings.h"
#include "saver/x11/hack_options.h"

namespace vellora::hack {
namespace {

struct Parsed {
    bool ok = false;
    HackOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "vellora");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    Parsed p;
    p.ok = ParseHackOptions(static_cast<int>(argv.size()), argv.data(), p.options, p.error);
    return p;
}

TEST(HackOptionsTest, NoArgumentsMeansOwnWindowAndTheKeyTableDefaults) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.target, Target::OwnWindow);
    EXPECT_FALSE(p.options.seedGiven);
    EXPECT_FALSE(p.options.framesGiven);
    EXPECT_FALSE(p.options.help);
    for (const SettingDef& def : AllSettings()) EXPECT_EQ(p.options.settings.Get(def.id), def.defaultValue) << def.key;
    // The empty store's frame period: "RefreshRate" 1, so 2 ms.
    EXPECT_EQ(FramePeriodMs(p.options.settings), 2);
}

TEST(HackOptionsTest, WhereToDrawInEverySpellingTheLastOneCounting) {
    struct Case {
        std::vector<std::string> args;
        Target target;
        std::uint32_t windowId;
    };
    const Case cases[] = {
        {{"-root"}, Target::Root, 0},
        {{"--root"}, Target::Root, 0},
        {{"-window"}, Target::OwnWindow, 0},
        {{"--root", "--window"}, Target::OwnWindow, 0},
        {{"-window-id", "0x2a"}, Target::WindowId, 42},
        {{"--window-id", "42"}, Target::WindowId, 42},
        {{"--window-id=0X1F"}, Target::WindowId, 31},
        {{"-window-id", "4294967295"}, Target::WindowId, 4294967295u},
        {{"--window-id", "7", "-root"}, Target::Root, 7},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << c.args[0] << ": " << p.error;
        EXPECT_EQ(p.options.target, c.target) << c.args[0];
        if (c.target == Target::WindowId) {
            EXPECT_EQ(p.options.windowId, c.windowId) << c.args[0];
        }
    }
}

TEST(HackOptionsTest, EverySettingHasItsOptionWithOneOrTwoDashesAndKeepsAnyValueAsStored) {
    int i = 0;
    for (const SettingOption& option : SettingOptions()) {
        EXPECT_EQ(static_cast<int>(option.setting), i++) << "table order";
        const std::string name = option.name;
        for (const std::int32_t value : {7, -1, 1000, 2147483647}) {
            const Parsed a = Parse({"--" + name, std::to_string(value)});
            const Parsed b = Parse({"-" + name + "=" + std::to_string(value)});
            ASSERT_TRUE(a.ok && b.ok) << name << " " << a.error << b.error;
            EXPECT_EQ(a.options.settings.Get(option.setting), value) << name;
            EXPECT_EQ(b.options.settings.Get(option.setting), value) << name;
            for (const SettingDef& other : AllSettings())
                if (other.id != option.setting) {
                    EXPECT_EQ(a.options.settings.Get(other.id), other.defaultValue);
                }
        }
    }
    EXPECT_EQ(Parse({"--count", "-2147483648"}).options.settings.Get(Setting::NumBalls), -2147483647 - 1);
}

TEST(HackOptionsTest, ListsTakeTheirEntryNamesTheDialogTextsOrNumbers) {
    struct Case {
        std::string option, value;
        Setting setting;
        std::int32_t stored;
    };
    const Case cases[] = {
        {"size", "constant", Setting::BallSizeSel, 0},      {"size", "Mixed", Setting::BallSizeSel, 1},
        {"size", "WHATEVER", Setting::BallSizeSel, 2},      {"scenario", "just-bounce", Setting::Game, 0},
        {"scenario", "Solo Good vs. Evil", Setting::Game, 1}, {"scenario", "good-vs-evil", Setting::Game, 2},
        {"scenario", "decay-vs-health", Setting::Game, 3},  {"scenario", "decay", Setting::Game, 4},
        {"scenario", "all-decay", Setting::Game, 5},        {"scenario", "random", Setting::Game, 6},
        {"scenario", "Random Scenario", Setting::Game, 6},  {"scenario", "9", Setting::Game, 9},
        {"sparks", "no", Setting::Sparks, 0},               {"sparks", "yes", Setting::Sparks, 1},
        {"sparks", "whatever", Setting::Sparks, 2},         {"sparks", "-1", Setting::Sparks, -1},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse({"--" + c.option, c.value});
        ASSERT_TRUE(p.ok) << c.option << " " << c.value << ": " << p.error;
        EXPECT_EQ(p.options.settings.Get(c.setting), c.stored) << c.option << " " << c.value;
    }
}

TEST(HackOptionsTest, TheFramePeriodIsTheRefreshRatePlusOneHeldInItsSafeRange) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{1, 2}, {3, 4}, {15, 16}, {20, 21}, {127, 128},
                                                           {-5, 1}, {0, 1}, {100000, 1000}};
    for (const auto& [stored, period] : cases)
        EXPECT_EQ(FramePeriodMs(StoredSettings().Set(Setting::RefreshRate, stored)), period) << stored;
}

TEST(HackOptionsTest, SeedFramesDisplayVerboseAndHelp) {
    const Parsed p = Parse({"--seed", "4294967295", "-frames", "0", "--display=:7", "-verbose", "-h"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.seedGiven);
    EXPECT_EQ(p.options.seed, 4294967295u);
    EXPECT_TRUE(p.options.framesGiven);
    EXPECT_EQ(p.options.frames, 0u);
    EXPECT_EQ(p.options.display, ":7");
    EXPECT_TRUE(p.options.verbose);
    EXPECT_TRUE(p.options.help);
    EXPECT_EQ(Parse({"--frames", "123456789"}).options.frames, 123456789u);
}

TEST(HackOptionsTest, BadArgumentsAreRefusedWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},        {"root"},           {"-"},
        {"--"},             {"--count"},        {"--count", "abc"},
        {"--count", ""},    {"--count", "1.5"}, {"--count", "+3"},
        {"--count", " 3"},  {"--count", "2147483648"}, {"--count", "-2147483649"},
        {"--scenario", "chess"}, {"--sparks", "maybe"}, {"--size", ""},
        {"--window-id"},    {"--window-id", "0"}, {"--window-id", "0x"},
        {"--window-id", "-5"}, {"--window-id", "0x100000000"}, {"--window-id", "4294967296"},
        {"--window-id", "12ab"}, {"--seed", "-1"}, {"--seed", "4294967296"},
        {"--frames", "-1"}, {"--frames", "many"}, {"--display", ""},
        {"--root=1"},       {"--help=yes"},     {"--verbose=0"},
        {"--COUNT", "3"},
    };
    for (const auto& args : cases) {
        const Parsed p = Parse(args);
        EXPECT_FALSE(p.ok) << args[0];
        EXPECT_FALSE(p.error.empty()) << args[0];
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    }
}

TEST(HackOptionsTest, RootDrawsOnXScreenSaversWindowWhenItIsNamed) {
    struct Case {
        std::vector<std::string> args;
        const char* env;
        bool ok;
        Target target;
        std::uint32_t windowId;
    };
    const Case cases[] = {
        {{"-root"}, "0x1a00005", true, Target::WindowId, 0x1a00005},
        {{"--root"}, "27262981", true, Target::WindowId, 27262981},
        {{"--root"}, nullptr, true, Target::Root, 0},
        {{"--root"}, "", true, Target::Root, 0},
        {{"--root"}, "junk", false, Target::Root, 0},
        {{"--root"}, "0", false, Target::Root, 0},
        {{"--window-id", "5"}, "0x99", true, Target::WindowId, 5},
        {{}, "0x99", true, Target::OwnWindow, 0},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok);
        std::string error;
        EXPECT_EQ(ResolveTarget(p.options, c.env, error), c.ok) << (c.env ? c.env : "(unset)");
        if (!c.ok) {
            EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos) << error;
            continue;
        }
        EXPECT_EQ(p.options.target, c.target);
        if (c.target == Target::WindowId) {
            EXPECT_EQ(p.options.windowId, c.windowId);
        }
    }
}

TEST(HackOptionsTest, HelpNamesEveryOptionWithItsControlRangeAndDefault) {
    const std::string usage = HackUsage();
    for (const char* contract : {"--root", "--window-id", "--window", "XSCREENSAVER_WINDOW", "--seed", "--frames"})
        EXPECT_NE(usage.find(contract), std::string::npos) << contract;
    for (const SettingOption& option : SettingOptions()) {
        const SettingDef& def = DefOf(option.setting);
        const std::size_t at = usage.find(std::string("--") + option.name + " ");
        ASSERT_NE(at, std::string::npos) << option.name;
        const std::string line = usage.substr(at, usage.find('\n', at) - at);
        EXPECT_NE(line.find(std::string("\"") + option.label + "\""), std::string::npos) << line;
        if (option.choices) {
            EXPECT_NE(line.find(std::string("default ") + option.choices[def.defaultValue].name), std::string::npos) << line;
        } else {
            EXPECT_NE(line.find(std::to_string(def.dialogMin) + " to " + std::to_string(def.dialogMax)), std::string::npos);
            EXPECT_NE(line.find("default " + std::to_string(def.defaultValue)), std::string::npos) << line;
        }
    }
}

// Every control of the description writes an option the hack takes, with the value it shows.
TEST(HackOptionsTest, TheXScreenSaverDescriptionWritesOptionsTheHackTakes) {
    const std::string xml = XScreenSaverConfigXml();
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
    EXPECT_NE(xml.find("<screensaver name=\"vellora\""), std::string::npos);
    EXPECT_NE(xml.find("<command arg=\"--root\"/>"), std::string::npos);
    EXPECT_NE(xml.find("</screensaver>"), std::string::npos);
    // Every element opened is closed.
    for (const char* tag : {"hgroup", "vgroup", "select", "_description"}) {
        const std::regex open(std::string("<") + tag + "[ >]"), close(std::string("</") + tag + ">");
        const auto count = [&](const std::regex& re) {
            return std::distance(std::sregex_iterator(xml.begin(), xml.end(), re), std::sregex_iterator());
        };
        EXPECT_EQ(count(open), count(close)) << tag;
    }

    int sliders = 0, entries = 0;
    const std::regex slider(R"re(<number id="([a-z-]+)" type="slider" arg="(--[a-z-]+) %"[^>]*low="(-?\d+)" high="(-?\d+)" default="(-?\d+)"/>)re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), slider); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        ++sliders;
        const Parsed p = Parse({m[2].str(), m[4].str()});
        ASSERT_TRUE(p.ok) << m[0];
        bool found = false;
        for (const SettingOption& option : SettingOptions()) {
            if (m[1].str() != option.name) continue;
            found = true;
            const SettingDef& def = DefOf(option.setting);
            EXPECT_EQ(std::stoi(m[3].str()), def.dialogMin) << option.name;
            EXPECT_EQ(std::stoi(m[4].str()), def.dialogMax) << option.name;
            EXPECT_EQ(std::stoi(m[5].str()), def.defaultValue) << option.name;
            EXPECT_EQ(p.options.settings.Get(option.setting), def.dialogMax) << option.name;
        }
        EXPECT_TRUE(found) << m[1];
    }
    const std::regex entry(R"re(<option id="([a-z-]+)" _label="[^"]*"(?: arg-set="([^"]*)")?/>)re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), entry); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        ++entries;
        if (!m[2].matched) continue;  // the default entry writes nothing
        const std::string args = m[2].str();
        const Parsed p = Parse({args.substr(0, args.find(' ')), args.substr(args.find(' ') + 1)});
        EXPECT_TRUE(p.ok) << args << ": " << p.error;
    }
    EXPECT_EQ(sliders, 7);
    EXPECT_EQ(entries, 3 + 7 + 3);
}

}  // namespace
}  // namespace vellora::hack
