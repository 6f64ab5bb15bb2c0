// End to end with the real XScreenSaver: a daemon on a virtual display whose only hack is
// vellora starts it when told to activate, and ends it when told to deactivate.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/x11/x11_harness.h"

namespace vellora::xtest {
namespace {

// Ended: reaped here (the test adopts orphans), gone, or a zombie waiting for another parent.
bool Ended(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z');
}

TEST(XScreenSaverTest, TheDaemonRunsVelloraWhenActivatedAndEndsItWhenDeactivated) {
    // The daemon's children outlive it; adopting them lets the test reap them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    XServer x(800, 600);
    ASSERT_TRUE(x.Ok());
    const TempDir tmp("vellora-xscreensaver");
    const std::string& dir = tmp.Path();
    chmod(dir.c_str(), 0755);
    const std::string home = dir + "/home";
    const std::string hack = dir + "/vellora";
    mkdir(home.c_str(), 0755);
    std::filesystem::copy_file(VELLORA_PATH, hack);
    chmod(hack.c_str(), 0755);
    {
        std::ofstream config(home + "/.xscreensaver");
        config << "mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\n"
                  "timeout: 0:30:00\ncycle: 0:00:00\ndpmsEnabled: False\n"
               << "programs: " << hack << " --root --count 6 --radius 25 --verbose\n";
    }

    // XScreenSaver runs no hacks as root: there the daemon runs as an unprivileged user.
    std::vector<std::string> daemon = {"xscreensaver", "-no-splash", "-verbose"};
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        for (const auto& path : {home, home + "/.xscreensaver"})
            ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        daemon.insert(daemon.begin(), {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                                       "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"});
    }
    const std::vector<std::string> env = {"HOME=" + home, "DISPLAY=" + x.Name(), "XSCREENSAVER_WINDOW"};
    Process saver(daemon, env, dir + "/daemon.out", dir + "/daemon.log");
    auto command = [&](const char* what) { return RunToEnd({"xscreensaver-command", what}, env, dir); };
    ASSERT_TRUE(WaitUntil([&] { return command("-time") == 0; }, 60)) << saver.Err();

    ASSERT_EQ(command("-activate"), 0);
    const std::regex forked("forked \"[^\"]*vellora[^\"]*\" in pid ([0-9]+)");
    std::smatch m;
    std::string log;
    ASSERT_TRUE(WaitUntil(
        [&] {
            log = saver.Err();
            return std::regex_search(log, m, forked);
        },
        60))
        << log;
    const pid_t pid = static_cast<pid_t>(std::stol(m[1].str()));

    const Window root = DefaultRootWindow(x.Dpy());
    Picture shown;
    const bool balls = WaitUntil(
        [&] {
            shown = Grab(x.Dpy(), root);
            return BallsShown(shown, 25) == 6;
        },
        60);
    WritePng(shown, ShotPath("xscreensaver.png"));
    EXPECT_TRUE(balls) << BallsShown(shown, 25) << " balls on the screen; see " << ShotPath("xscreensaver.png");
    EXPECT_FALSE(Ended(pid));

    ASSERT_EQ(command("-deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return Ended(pid); }, 60)) << saver.Err();
    // The hack ended through its own signal handling, having run frames.
    EXPECT_TRUE(WaitUntil([&] { return saver.Err().find("vellora: ended after frame") != std::string::npos; }, 30))
        << saver.Err();

    saver.Signal(SIGTERM);
    saver.Wait(30);
    // Whatever the daemon left behind is ours to end now.
    WaitUntil([] { return waitpid(-1, nullptr, WNOHANG) <= 0; }, 10);
}

}  // namespace
}  // namespace vellora::xtest
