// The installer's decisions over an in-memory system: every path of the placement with its version
// check, and the run's exit codes, messages and uninstall entry.
#include "installer/core/installer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "saver/config/product.h"

namespace vi = vellora::installer;
using vi::Answer;
using vi::Message;

namespace {

const std::string kWindows = "C:\\WINDOWS";
const std::string kTarget = "C:\\WINDOWS\\VelloraSaver.scr";
const std::string kTemp = "C:\\TEMP";
// File contents stand for modules; each content has a version.
const std::string kNew = "new module";
const std::string kOld = "installed module";

const char* NameOf(Message message) {
    switch (message) {
    case Message::SaveFailure: return "save failure";
    case Message::UpgradeQuestion: return "upgrade question";
    case Message::ReinstallQuestion: return "reinstall question";
    case Message::InUse: return "in use";
    case Message::UninstallNotSaved: return "uninstall not saved";
    case Message::Completed: return "completed";
    }
    return "?";
}

// A system in memory that notes every change and every message.
class FakeSystem : public vi::Platform {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::uint32_t> versionOf{{kNew, 0x01020000}};  // by content
    std::set<std::string> writeFails;     // paths where writing the module fails half way
    std::set<std::string> removeRefused;  // paths that cannot be deleted
    bool freshFileFails = false;
    bool copyFails = false;
    std::deque<Answer> answers;
    std::vector<std::string> log;         // changes, messages and steps of the run, in order
    std::vector<std::string> texts;       // the texts of the messages, in order

    // The run.
    std::map<unsigned, std::string> strings{{1, "Vellora Saver"}, {2, "VelloraSaver.scr"}};
    bool backdropFails = false;
    int welcomeResult = vi::kWelcomeInstall;
    std::string windowsDirectory = kWindows;
    bool entryFails = false;
    std::string entryKey;
    std::vector<vi::RegistryValue> entryValues;
    std::uint64_t moduleSize = 170000;

    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool WriteModuleTo(const std::string& path) override {
        files[path] = writeFails.count(path) ? "half a module" : kNew;
        log.push_back("write " + path);
        return !writeFails.count(path);
    }
    std::uint32_t PackedFileVersion(const std::string& path) override {
        auto file = files.find(path);
        if (file == files.end()) return 0;
        auto version = versionOf.find(file->second);
        return version == versionOf.end() ? 0 : version->second;
    }
    bool FixedFileVersion(const std::string& path, std::uint32_t& ms, std::uint32_t& ls) override {
        const std::uint32_t packed = PackedFileVersion(path);
        if (packed == 0) return false;
        ms = (packed >> 24) << 16 | ((packed >> 16) & 0xFF);
        ls = ((packed >> 8) & 0xFF) << 16 | (packed & 0xFF);
        return true;
    }
    bool Remove(const std::string& path) override {
        if (removeRefused.count(path) || !files.count(path)) return false;
        files.erase(path);
        log.push_back("remove " + path);
        return true;
    }
    bool CreateFreshFile(const std::string& folder, std::string& path) override {
        if (freshFileFails) return false;
        const std::string in = folder.empty() ? kTemp + "\\" : folder;
        if (in.back() != '\\') return false;  // a folder is named with its separator
        path = in + "sci" + std::to_string(++fresh_) + ".tmp";
        files[path] = "";
        log.push_back("create " + path);
        return true;
    }
    bool CopyOver(const std::string& from, const std::string& to) override {
        if (copyFails || !files.count(from)) return false;
        files[to] = files[from];
        log.push_back("copy " + from + " to " + to);
        return true;
    }
    bool MoveOver(const std::string& from, const std::string& to) override {
        if (!files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        log.push_back("move " + from + " to " + to);
        return true;
    }
    std::uint64_t ModuleSize() override { return moduleSize; }
    Answer Ask(Message message, const std::string& text) override {
        log.push_back(std::string("ask ") + NameOf(message));
        texts.push_back(text);
        Answer answer = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void Tell(Message message, const std::string& text) override {
        log.push_back(std::string("tell ") + NameOf(message));
        texts.push_back(text);
    }
    std::string LoadText(unsigned id, std::size_t capacity) override {
        auto text = strings.find(id);
        return text == strings.end() ? std::string() : text->second.substr(0, capacity - 1);
    }
    bool CreateBackdrop() override {
        log.push_back("backdrop");
        return !backdropFails;
    }
    int Welcome(const std::string& displayName) override {
        log.push_back("welcome " + displayName);
        return welcomeResult;
    }
    void BeginWork() override { log.push_back("wait cursor"); }
    void EndWork() override { log.push_back("normal cursor"); }
    std::string WindowsDirectory() override { return windowsDirectory; }
    void ActivateSaver(const std::string& path) override { log.push_back("activate " + path); }
    bool WriteUninstallEntry(const std::string& keyPath, const std::vector<vi::RegistryValue>& values) override {
        log.push_back("entry " + keyPath);
        if (entryFails) return false;
        entryKey = keyPath;
        entryValues = values;
        return true;
    }
    void OpenDisplaySettings() override { log.push_back("display settings"); }

private:
    int fresh_ = 0;
};

using Log = std::vector<std::string>;

}  // namespace

// Each path of the placement: what was asked, written and deleted, and what is left.
TEST(PlaceSaverModule, EveryPath) {
    const std::string temp = kTemp + "\\sci1.tmp";
    const std::string backup = kWindows + "\\sci2.tmp";
    struct Case {
        const char* name;
        bool installed;
        std::uint32_t installedVersion;  // 0: no version block
        std::vector<Answer> answers;
        std::set<std::string> writeFails, removeRefused;
        bool copyFails;
        bool result;
        const char* left;                // the target's content afterwards, or null for no file
        Log log;
    } cases[] = {
        {"no file", false, 0, {}, {}, {}, false, true, "new", {"write " + kTarget}},
        {"no file, write fails", false, 0, {}, {kTarget}, {}, false, false, nullptr,
         {"write " + kTarget, "remove " + kTarget, "tell save failure"}},
        {"same version, Yes", true, 0x01020000, {Answer::Yes}, {}, {}, false, true, "new",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question", "create " + backup,
          "copy " + kTarget + " to " + backup, "remove " + kTarget, "write " + kTarget, "remove " + backup}},
        {"same version, No", true, 0x01020000, {Answer::No}, {}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question"}},
        {"same version, Cancel", true, 0x01020000, {Answer::Cancel}, {}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question"}},
        {"newer installed, Yes", true, 0x01030000, {Answer::Yes}, {}, {}, false, true, "new",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question", "create " + backup,
          "copy " + kTarget + " to " + backup, "remove " + kTarget, "write " + kTarget, "remove " + backup}},
        {"older installed, Yes", true, 0x01010000, {Answer::Yes}, {}, {}, false, true, "new",
         {"create " + temp, "write " + temp, "remove " + temp, "ask upgrade question", "create " + backup,
          "copy " + kTarget + " to " + backup, "remove " + kTarget, "write " + kTarget, "remove " + backup}},
        {"older installed, No", true, 0x01010000, {Answer::No}, {}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask upgrade question"}},
        {"unversioned installed, Cancel", true, 0, {Answer::Cancel}, {}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask upgrade question"}},
        {"delete refused", true, 0x01020000, {Answer::Yes}, {}, {kTarget}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question", "create " + backup,
          "copy " + kTarget + " to " + backup, "remove " + backup, "tell in use"}},
        {"temporary copy fails", true, 0x01020000, {Answer::Yes}, {temp}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "tell save failure"}},
        {"installed copy cannot be kept", true, 0x01020000, {Answer::Yes}, {}, {}, true, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask reinstall question", "create " + backup,
          "remove " + backup, "tell save failure"}},
        {"write fails after the delete", true, 0x01010000, {Answer::Yes}, {kTarget}, {}, false, false, "old",
         {"create " + temp, "write " + temp, "remove " + temp, "ask upgrade question", "create " + backup,
          "copy " + kTarget + " to " + backup, "remove " + kTarget, "write " + kTarget,
          "move " + backup + " to " + kTarget, "tell save failure"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        if (c.installed) system.files[kTarget] = kOld;
        if (c.installedVersion != 0) system.versionOf[kOld] = c.installedVersion;
        system.answers.assign(c.answers.begin(), c.answers.end());
        system.writeFails = c.writeFails;
        system.removeRefused = c.removeRefused;
        system.copyFails = c.copyFails;

        EXPECT_EQ(vi::PlaceSaverModule(system, kTarget, "Vellora Saver"), c.result);
        EXPECT_EQ(system.log, c.log);
        if (c.left == nullptr) {
            EXPECT_EQ(system.files.count(kTarget), 0u);
        } else {
            EXPECT_EQ(system.files[kTarget], std::string(c.left) == "new" ? kNew : kOld);
        }
        // Nothing but the target is left: no temporary copy, no kept copy.
        for (const auto& file : system.files) {
            EXPECT_EQ(file.first, kTarget);
        }
    }
}

TEST(PlaceSaverModule, QuestionTexts) {
    FakeSystem system;
    system.files[kTarget] = kOld;  // no version block: the upgrade question
    vi::PlaceSaverModule(system, kTarget, "Vellora Saver");
    system.versionOf[kOld] = 0x01020000;  // the same version: the reinstall question
    vi::PlaceSaverModule(system, kTarget, "Vellora Saver");
    system.removeRefused = {kTarget};
    system.answers = {Answer::Yes};
    vi::PlaceSaverModule(system, kTarget, "Vellora Saver");
    EXPECT_EQ(system.texts,
              (std::vector<std::string>{
                  "You have an out-of-date version of Vellora Saver on your system.  Do you want to upgrade?",
                  "You have an up-to-date version installed.  Do you still want to install?",
                  "You have an up-to-date version installed.  Do you still want to install?",
                  "Error. Unable to delete old version of Vellora Saver. Make sure it is not in use, and then try again.",
              }));
}

TEST(PlaceSaverModule, KeepsTheInstalledCopyInARootFolderToo) {
    FakeSystem system;
    system.files["C:\\VelloraSaver.scr"] = kOld;
    system.answers = {Answer::Yes};
    system.writeFails = {"C:\\VelloraSaver.scr"};
    EXPECT_FALSE(vi::PlaceSaverModule(system, "C:\\VelloraSaver.scr", "Vellora Saver"));
    EXPECT_EQ(system.log[4], "create C:\\sci2.tmp") << "beside the module, not in the current folder of C:";
    EXPECT_EQ(system.files["C:\\VelloraSaver.scr"], kOld);
}

TEST(PlaceSaverModule, NoTemporaryFile) {
    FakeSystem system;
    system.files[kTarget] = kOld;
    system.freshFileFails = true;
    EXPECT_FALSE(vi::PlaceSaverModule(system, kTarget, "Vellora Saver"));
    EXPECT_EQ(system.log, (Log{"tell save failure"}));
    EXPECT_EQ(system.files[kTarget], kOld);
}

TEST(RunInstallSequence, FreshInstall) {
    FakeSystem system;
    EXPECT_EQ(vi::RunInstallSequence(system), 1);
    EXPECT_EQ(system.log, (Log{"backdrop", "welcome Vellora Saver", "wait cursor", "write " + kTarget,
                               "activate " + kTarget, "entry " + std::string(vellora::kUninstallKey),
                               "normal cursor", "tell completed", "display settings"}));
    EXPECT_EQ(system.texts, (std::vector<std::string>{"Installation completed!"}));

    struct Expected {
        const char* name;
        const char* text;
        std::uint32_t number;
        bool isNumber;
    } expected[] = {
        {"DisplayName", "Vellora Saver", 0, false},
        {"UninstallString", "C:\\WINDOWS\\VelloraSaver.scr -UNINSTALL", 0, false},
        {"DisplayIcon", "C:\\WINDOWS\\VelloraSaver.scr", 0, false},
        {"DisplayVersion", "1.2", 0, false},  // as the about box shows 1.2.0.0
        {"Publisher", vi::kPublisher, 0, false},
        {"EstimatedSize", "", 167, true},  // 170,000 bytes, rounded up to whole KB
        {"NoModify", "", 1, true},
        {"NoRepair", "", 1, true},
    };
    ASSERT_EQ(system.entryValues.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(system.entryValues[i].name, expected[i].name);
        EXPECT_EQ(system.entryValues[i].isNumber, expected[i].isNumber);
        EXPECT_EQ(system.entryValues[i].text, expected[i].text);
        EXPECT_EQ(system.entryValues[i].number, expected[i].number);
    }
}

TEST(RunInstallSequence, EndsWithoutInstalling) {
    struct Case {
        const char* name;
        bool backdropFails;
        int welcomeResult;
        int exitCode;
        Log log;
    } cases[] = {
        {"no backdrop", true, 1, 2, {"backdrop"}},
        {"Cancel", false, 2, 2, {"backdrop", "welcome Vellora Saver"}},
        // A dialog that could not be shown asked nobody: nothing is installed.
        {"no dialog", false, -1, 2, {"backdrop", "welcome Vellora Saver"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.backdropFails = c.backdropFails;
        system.welcomeResult = c.welcomeResult;
        EXPECT_EQ(vi::RunInstallSequence(system), c.exitCode);
        EXPECT_EQ(system.log, c.log);
        EXPECT_TRUE(system.files.empty());
    }
}

TEST(RunInstallSequence, PlacementFailedOrDeclined) {
    struct Case {
        const char* name;
        bool installed;
        std::set<std::string> writeFails;
        Log tail;  // the log after the wait cursor
    } cases[] = {
        {"write fails", false, {kTarget}, {"write " + kTarget, "remove " + kTarget, "tell save failure", "normal cursor"}},
        {"declined", true, {}, {"create C:\\TEMP\\sci1.tmp", "write C:\\TEMP\\sci1.tmp", "remove C:\\TEMP\\sci1.tmp",
                                "ask upgrade question", "normal cursor"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        if (c.installed) system.files[kTarget] = kOld;
        system.writeFails = c.writeFails;
        system.answers = {Answer::No};
        EXPECT_EQ(vi::RunInstallSequence(system), 1);
        Log expected{"backdrop", "welcome Vellora Saver", "wait cursor"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(system.log, expected) << "not activated, no entry, no completion message";
    }
}

TEST(RunInstallSequence, UninstallEntryNotSaved) {
    FakeSystem system;
    system.entryFails = true;
    EXPECT_EQ(vi::RunInstallSequence(system), 1);
    EXPECT_EQ(system.log, (Log{"backdrop", "welcome Vellora Saver", "wait cursor", "write " + kTarget,
                               "activate " + kTarget, "entry " + std::string(vellora::kUninstallKey),
                               "normal cursor", "tell uninstall not saved", "tell completed", "display settings"}));
    EXPECT_EQ(system.texts, (std::vector<std::string>{"Uninstall information could not be saved for this screensaver.",
                                                      "Installation completed!"}));
}

TEST(RunInstallSequence, FallbackNames) {
    FakeSystem system;
    system.strings.clear();
    EXPECT_EQ(vi::RunInstallSequence(system), 1);
    EXPECT_EQ(system.log[1], "welcome the Brimsy saver");
    EXPECT_EQ(system.files.count(kWindows + "\\Brimsy.scr"), 1u);
    EXPECT_EQ(system.entryKey, std::string(vellora::kUninstallKeyParent) + "the Brimsy saver");
    EXPECT_EQ(system.entryValues[1].text, kWindows + "\\Brimsy.scr -UNINSTALL");
}

TEST(RunInstallSequence, UnreadableVersionLeavesDisplayVersionOut) {
    FakeSystem system;
    system.versionOf.clear();
    vi::RunInstallSequence(system);
    for (const vi::RegistryValue& value : system.entryValues) {
        EXPECT_NE(value.name, "DisplayVersion");
    }
    EXPECT_EQ(system.entryValues.size(), 7u);
}

// A Windows directory so long that the module's path (259 characters at most) or the uninstall
// command (255 at most) would not fit: the save-failure message, nothing written or cut.
TEST(RunInstallSequence, LongWindowsDirectory) {
    const std::string fileName = "VelloraSaver.scr";  // 16 characters; " -UNINSTALL" adds 11
    struct Case {
        std::size_t directoryLength;
        bool installs;
    } cases[] = {
        {255 - 11 - 16 - 1, true},   // the command is 255 characters
        {255 - 11 - 16, false},      // 256
        {259 - 16 - 1, false},       // the path fits, the command does not
        {300, false},
        {0, false},                  // the directory could not be read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directoryLength);
        FakeSystem system;
        system.windowsDirectory = c.directoryLength == 0 ? "" : "C:" + std::string(c.directoryLength - 2, 'w');
        EXPECT_EQ(vi::RunInstallSequence(system), 1);
        if (c.installs) {
            EXPECT_EQ(system.files.size(), 1u);
            EXPECT_EQ(system.entryValues[1].text.size(), 255u);
        } else {
            EXPECT_TRUE(system.files.empty());
            EXPECT_EQ(system.log, (Log{"backdrop", "welcome Vellora Saver", "wait cursor", "normal cursor",
                                       "tell save failure"}));
        }
    }
}

TEST(InstallPaths, RootDirectoryAndKey) {
    vi::InstallPaths paths;
    ASSERT_TRUE(vi::MakeInstallPaths("C:\\", "VelloraSaver.scr", paths));
    EXPECT_EQ(paths.target, "C:\\VelloraSaver.scr");
    EXPECT_EQ(paths.uninstallCommand, "C:\\VelloraSaver.scr -UNINSTALL");
    // The key the installer creates is the one the saver's uninstall deletes.
    EXPECT_EQ(vi::UninstallKeyPath(vellora::kDisplayName), vellora::kUninstallKey);
}

TEST(InstallPaths, EstimatedSizeRoundsUp) {
    struct Case {
        std::uint64_t bytes;
        std::uint32_t kb;
    } cases[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {169984, 166}};
    for (const Case& c : cases) {
        FakeSystem system;
        system.moduleSize = c.bytes;
        const auto values = vi::UninstallValues(system, "Vellora Saver", {kTarget, kTarget + " -UNINSTALL"});
        auto size = std::find_if(values.begin(), values.end(),
                                 [](const vi::RegistryValue& v) { return v.name == "EstimatedSize"; });
        ASSERT_NE(size, values.end());
        EXPECT_EQ(size->number, c.kb) << c.bytes;
    }
}
