// The headless simulator's command-line contract, checked on the built tool, and long runs of the
// frame tick that must keep the world inside its area and finite.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"

namespace vellora {
namespace {

struct RunResult {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

RunResult RunSim(const std::string& args) {
    // Tests run in parallel processes: each run gets files of its own.
    static int runs = 0;
    const std::string base = ::testing::TempDir() + "vellora_sim_cli_" + std::to_string(getpid()) + "_" +
                             std::to_string(++runs);
    const std::string cmd = std::string(VELLORA_SIM_PATH) + " " + args + " >" + base + ".out 2>" + base + ".err";
    RunResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(base + ".out");
    r.err = Slurp(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Every number that follows "key": in a line.
std::vector<double> Values(const std::string& line, const std::string& key) {
    std::vector<double> out;
    const std::string needle = "\"" + key + "\":";
    for (auto pos = line.find(needle); pos != std::string::npos; pos = line.find(needle, pos + 1))
        out.push_back(std::strtod(line.c_str() + pos + needle.size(), nullptr));
    return out;
}

TEST(SimCliTest, FiveBallsInsideTheArea) {
    const RunResult r = RunSim("--seed 1 --set NumBalls=5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    EXPECT_EQ(line.front(), '{');
    EXPECT_EQ(line.back(), '}');
    for (const char* key : {"frame", "area", "game", "colors", "accelY", "sparks", "scenarioCounter", "palette",
                            "liveBursts", "balls", "nextVx", "nextVy", "radius", "scale", "mass", "color",
                            "colorLevel", "bounds"})
        EXPECT_NE(line.find(std::string("\"") + key + "\":"), std::string::npos) << key;
    EXPECT_EQ(Values(line, "index").size(), 5u);
    for (double x : Values(line, "x")) {
        EXPECT_GE(x, 30.0);
        EXPECT_LE(x, 994.0);
    }
    for (double y : Values(line, "y")) {
        EXPECT_GE(y, 30.0);
        EXPECT_LE(y, 738.0);
    }
}

TEST(SimCliTest, SameSeedSameBytesAndDumpsAsAsked) {
    const std::string args = "--seed 9 --frames 250 --dump-every 100 --set Sparks=1 --set Game=6 --size 640x480";
    const RunResult a = RunSim(args), b = RunSim(args);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    const auto lines = Lines(a.out);
    ASSERT_EQ(lines.size(), 4u);  // frames 0, 100, 200 and the last, 250
    const double frames[] = {0, 100, 200, 250};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Values(lines[i], "frame").at(0), frames[i]);
    EXPECT_NE(lines[3], lines[2]);
    EXPECT_NE(RunSim("--seed 10 --frames 10").out, RunSim("--seed 11 --frames 10").out);
}

TEST(SimCliTest, DoublesReadBackExactly) {
    const RunResult r = RunSim("--seed 4 --frames 37 --set Gravity=3 --set BallSizeSel=1");
    ASSERT_EQ(r.status, 0);
    const auto lines = Lines(r.out);
    for (double x : Values(lines.back(), "x")) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", x);
        EXPECT_EQ(std::strtod(buf, nullptr), x);
    }
    EXPECT_NE(lines.back().find("\"accelY\":0.15000000000000002"), std::string::npos);
}

TEST(SimCliTest, BadArgumentsAreRefusedWithOneLine) {
    const char* cases[] = {
        "--set NumBalls=abc", "--set NumBalls=2147483648", "--set Bogus=1", "--set NumBalls",
        "--set =3", "--size 100", "--size 0x10", "--size 10x-4", "--seed -1", "--seed 4294967296",
        "--frames -3", "--frames", "--dump-every 0", "--wat", "--frames 1e3", "--set NumBalls= 5",
    };
    for (const char* args : cases) {
        const RunResult r = RunSim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(Lines(r.err).size(), 1u) << args << ": " << r.err;
    }
}

TEST(SimCliTest, LongRunOfRandomScenesStaysInsideAndFinite) {
    const RunResult r = RunSim(
        "--seed 3 --frames 100000 --dump-every 5000 --set NumBalls=100 --set Gravity=4 --set Sparks=1 "
        "--set Game=6 --set ScenarioCounter=1 --set BallSizeSel=2");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 21u);
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("null"), std::string::npos);
        for (double x : Values(line, "x")) EXPECT_TRUE(x >= 0.0 && x <= 1024.0) << x;
        for (double y : Values(line, "y")) EXPECT_TRUE(y >= 0.0 && y <= 768.0) << y;
    }
}

// The same tick in process, checked after every frame, one scenario at a time.
TEST(LongRunTest, EveryScenarioKeepsCentresInsideAndNumbersFinite) {
    const Rect area{0, 0, 1024, 768};
    for (std::int32_t game = 0; game <= 5; ++game) {
        MemoryProfile profile;
        WriteSetting(profile, Setting::NumBalls, 100);
        WriteSetting(profile, Setting::Gravity, 4);
        WriteSetting(profile, Setting::Sparks, 1);
        WriteSetting(profile, Setting::Game, game);
        WriteSetting(profile, Setting::BallSizeSel, 2);
        WriteSetting(profile, Setting::ScenarioCounter, 10);
        Simulation sim(static_cast<std::uint32_t>(100 + game));
        SetupWorld(sim, profile, area, false);
        int bad = 0;
        for (int frame = 0; frame < 100000 && bad < 5; ++frame) {
            TickFrame(sim, profile, area, nullptr);
            for (const auto& b : sim.world.balls) {
                const bool finite = std::isfinite(b->worldX) && std::isfinite(b->worldY) && std::isfinite(b->vx) &&
                                    std::isfinite(b->vy) && std::isfinite(b->nextVx) && std::isfinite(b->nextVy);
                const bool inside = b->worldX >= 0.0 && b->worldX <= area.right && b->worldY >= 0.0 &&
                                    b->worldY <= area.bottom;
                if (!finite || !inside) {
                    ++bad;
                    ADD_FAILURE() << "game " << game << " frame " << frame << " ball " << b->index << " at "
                                  << b->worldX << ", " << b->worldY;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vellora

namespace vellora {
namespace {

// The reproducers of faults once found outside the saver's ordinary use.
TEST(SimCliTest, AWindowImageItCannotHoldIsRefusedWithOneLine) {
    const std::string dir = ::testing::TempDir() + "vellora_sim_huge_" + std::to_string(getpid());
    const RunResult r = RunSim("--size 65536x65536 --png " + dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("65536x65536"), std::string::npos) << r.err;
    EXPECT_NE(access(dir.c_str(), F_OK), 0) << "nothing is made for a refused run";
}

TEST(SimCliTest, TinyBallsOnTheLargestAreaRun) {
    // Once 4.3 GB of grid cells, then an uncaught std::bad_alloc.
    const RunResult r = RunSim("--seed 1 --size 65536x65536 --frames 3 --set BallSize=1 --set NumBalls=1000");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u);
}

TEST(SimCliTest, MessagesStayOnOneLineWhateverTheArgumentsHold) {
    // The shell's printf puts line breaks and escape characters into the arguments.
    const char* cases[] = {
        "--set \"$(printf 'NumBalls=1\\n2')\"",
        "\"$(printf -- '--wat\\nnext line')\"",
        "--size \"$(printf '\\033[2J10x10')\"",
        "--set \"$(printf 'Bogus\\r\\n=1')\"",
        "--png \"$(printf '/proc/no\\nsuch')\"",
    };
    for (const char* args : cases) {
        const RunResult r = RunSim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(Lines(r.err).size(), 1u) << args << ": " << r.err;
        for (const char c : r.err.substr(0, r.err.size() - 1))
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << args << ": " << r.err;
    }
}

}  // namespace
}  // namespace vellora
