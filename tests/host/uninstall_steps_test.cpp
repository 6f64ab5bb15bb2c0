// The uninstall's batch file and the order of its steps, including the one hand-over to a run
// with administrator rights.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver/app/uninstall_steps.h"

namespace vellora {
namespace {

TEST(UninstallBatchTest, ExactBytes) {
    const std::string tail =
        " GOTO e\r\n"
        "SET /A tries+=1\r\n"
        "IF %tries% GEQ 20 GOTO e\r\n"
        "PING -n 2 127.0.0.1 >NUL\r\n"
        "GOTO f\r\n"
        ":e\r\n"
        "DEL %0\r\n";
    EXPECT_EQ(UninstallBatchText("C:\\WINDOWS\\VELLOR~1.SCR"),
              "@ECHO OFF\r\n"
              "SET /A tries=0\r\n"
              ":f\r\n"
              "DEL \"C:\\WINDOWS\\VELLOR~1.SCR\"\r\n"
              "IF NOT EXIST \"C:\\WINDOWS\\VELLOR~1.SCR\"" + tail);
    // The command processor expands %...% even inside quotes: every '%' of the path is doubled.
    EXPECT_EQ(UninstallBatchText("C:\\100%\\A%B%\\X.SCR"),
              "@ECHO OFF\r\n"
              "SET /A tries=0\r\n"
              ":f\r\n"
              "DEL \"C:\\100%%\\A%%B%%\\X.SCR\"\r\n"
              "IF NOT EXIST \"C:\\100%%\\A%%B%%\\X.SCR\"" + tail);
    // The bound: the batch gives up after the last try, and every way out deletes the batch.
    const std::string text = UninstallBatchText("X");
    EXPECT_NE(text.find("GEQ " + std::to_string(kUninstallTries) + " GOTO e"), std::string::npos);
    EXPECT_EQ(text.rfind("DEL %0\r\n"), text.size() - 8);
}

TEST(UninstallBatchTest, APathThatCouldEndItsQuoteOrLineIsRefused) {
    // The module's path as started is the starter's text: once a line break in it put a command
    // of its own into the batch, which runs hidden, and after a hand-over with administrator rights.
    for (const std::string& path : {std::string("C:\\X.SCR\r\nDEL C:\\BOOT.INI"), std::string("C:\\X\".SCR"),
                                   std::string("C:\\X\nY.SCR"), std::string("C:\\X\tY"), std::string("A\0B", 3)})
        EXPECT_EQ(UninstallBatchText(path), "") << path;
    EXPECT_NE(UninstallBatchText("C:\\PROGRA~1\\A&B|C<D>^E!.SCR"), "") << "inside quotes these are plain characters";
}

TEST(UninstallBatchTest, PathInTheWindowsDirectory) {
    EXPECT_EQ(UninstallBatchPath("C:\\WINDOWS"), "C:\\WINDOWS\\uninstss.bat");
    EXPECT_EQ(UninstallBatchPath("C:\\"), "C:\\uninstss.bat");
    EXPECT_EQ(UninstallBatchPath(""), "") << "no Windows directory";
    // The path must fit 260 characters with its terminating zero.
    const std::string fits(259 - 13, 'd');
    EXPECT_EQ(UninstallBatchPath(fits).size(), 259u);
    EXPECT_EQ(UninstallBatchPath(fits + "d"), "");
}

// Records the calls; each operation answers as told.
class FakeSystem : public UninstallSystem {
public:
    Result writeResult = Result::Done;
    Result keyResult = Result::Done;
    bool elevated = false;
    bool elevationGranted = true;
    std::vector<std::string> calls;

    Result WriteBatch(const std::string& modulePath, std::string& batchPath) override {
        calls.push_back("write " + modulePath);
        if (writeResult == Result::Done) batchPath = "C:\\WINDOWS\\uninstss.bat";
        return writeResult;
    }
    void DeleteBatch(const std::string& batchPath) override { calls.push_back("delete " + batchPath); }
    Result DeleteUninstallKey() override {
        calls.push_back("delete key");
        return keyResult;
    }
    void StartHidden(const std::string& batchPath) override { calls.push_back("start " + batchPath); }
    bool IsElevated() override { return elevated; }
    bool StartElevated(const std::string& arguments) override {
        calls.push_back("elevate " + arguments);
        return elevationGranted;
    }
};

TEST(UninstallStepsTest, EveryPath) {
    using R = UninstallSystem::Result;
    const std::string write = "write C:\\WINDOWS\\VelloraSaver.scr";
    const std::string start = "start C:\\WINDOWS\\uninstss.bat";
    const std::string takeBack = "delete C:\\WINDOWS\\uninstss.bat";
    const std::string elevate = "elevate -UNINSTALL -ELEVATED";
    struct Case {
        const char* name;
        R writeResult, keyResult;
        bool alreadyElevated, startedElevated, granted;
        UninstallOutcome outcome;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"plain", R::Done, R::Done, false, false, true, UninstallOutcome::Started, {write, "delete key", start}},
        // A missing entry does not keep the file.
        {"no entry", R::Done, R::Failed, false, false, true, UninstallOutcome::Started,
         {write, "delete key", start}},
        {"no Windows directory", R::Failed, R::Done, false, false, true, UninstallOutcome::NothingChanged, {write}},
        // A standard user: asks once for administrator rights.
        {"batch denied", R::Denied, R::Done, false, false, true, UninstallOutcome::HandedOver, {write, elevate}},
        {"batch denied, declined", R::Denied, R::Done, false, false, false, UninstallOutcome::NothingChanged,
         {write, elevate}},
        {"entry denied", R::Done, R::Denied, false, false, true, UninstallOutcome::HandedOver,
         {write, "delete key", takeBack, elevate}},
        {"entry denied, declined", R::Done, R::Denied, false, false, false, UninstallOutcome::NothingChanged,
         {write, "delete key", takeBack, elevate}},
        // The run started with the rights, or one that has them anyway, never asks again.
        {"denied in the elevated run", R::Denied, R::Done, false, true, true, UninstallOutcome::NothingChanged,
         {write}},
        {"entry denied in the elevated run", R::Done, R::Denied, false, true, true,
         UninstallOutcome::NothingChanged, {write, "delete key", takeBack}},
        {"denied to an administrator", R::Denied, R::Done, true, false, true, UninstallOutcome::NothingChanged,
         {write}},
        {"elevated run", R::Done, R::Done, false, true, true, UninstallOutcome::Started,
         {write, "delete key", start}},
    };
    {
        FakeSystem system;
        EXPECT_EQ(RunUninstallSteps(system, "", false), UninstallOutcome::NothingChanged) << "no module path";
        EXPECT_TRUE(system.calls.empty());
    }
    for (const Case& c : cases) {
        FakeSystem system;
        system.writeResult = c.writeResult;
        system.keyResult = c.keyResult;
        system.elevated = c.alreadyElevated;
        system.elevationGranted = c.granted;
        EXPECT_EQ(RunUninstallSteps(system, "C:\\WINDOWS\\VelloraSaver.scr", c.startedElevated), c.outcome)
            << c.name;
        EXPECT_EQ(system.calls, c.calls) << c.name;
    }
}

}  // namespace
}  // namespace vellora
