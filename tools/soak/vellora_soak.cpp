// vellora-soak: long runs of randomised worlds, every invariant checked after every frame. Each
// world draws its ten stored values (mostly from the options dialog's ranges, often from anywhere
// a program could write), its area (screens, previews and odd ones such as 1 x 1, 3 x 65536 and
// 65536 x 3) and whether it is a preview, then runs a few hundred to a few thousand frames as the
// saver window's timer does, some of them drawn on a software window. Built under the sanitizers
// by scripts/soak.
//
//   vellora-soak [--frames N] [--seed S]
//
// Prints the frames run, the worlds and the violations found; exits 1 when there was any.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/render/soft_canvas.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tools/soak/world_invariants.h"

using namespace vellora;

namespace {

// The soak's own draws, apart from the worlds' generators.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed * 2862933555777941757ULL + 3037000493ULL) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::int64_t Between(std::int64_t lo, std::int64_t hi) {  // inclusive
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

private:
    std::uint64_t state_;
};

// A stored value: usually one the options dialog writes, sometimes one just beyond its range,
// sometimes anything at all.
std::int32_t DrawValue(Dice& dice, const SettingDef& def) {
    const int kind = static_cast<int>(dice.Between(1, 100));
    if (kind <= 70) return static_cast<std::int32_t>(dice.Between(def.dialogMin, def.dialogMax));
    if (kind <= 85) return static_cast<std::int32_t>(dice.Between(std::int64_t{def.dialogMin} - 5, std::int64_t{def.dialogMax} * 10));
    static const std::int32_t kExtremes[] = {0, -1, 1, 2147483647, -2147483647 - 1, 0x20000000, 1000, 1001, 65536};
    if (kind <= 95) return kExtremes[dice.Between(0, sizeof kExtremes / sizeof kExtremes[0] - 1)];
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(dice.Next()));
}

Rect DrawArea(Dice& dice) {
    static const Rect kAreas[] = {
        {0, 0, 1024, 768}, {0, 0, 1920, 1080}, {0, 0, 3840, 2160}, {0, 0, 152, 112}, {0, 0, 640, 480},
        {0, 0, 1, 1},      {0, 0, 3, 65536},   {0, 0, 65536, 3},   {0, 0, 2, 2},     {0, 0, 0, 0},
        {0, 0, 61, 61},    {0, 0, 200, 60000}, {0, 0, -40, 300},   {0, 0, 65536, 65536},
    };
    if (dice.Chance(25)) {
        return Rect{0, 0, static_cast<std::int32_t>(dice.Between(1, 4096)), static_cast<std::int32_t>(dice.Between(1, 4096))};
    }
    return kAreas[dice.Between(0, sizeof kAreas / sizeof kAreas[0] - 1)];
}

struct Totals {
    std::uint64_t frames = 0;
    std::uint64_t worlds = 0;
    std::uint64_t drawnFrames = 0;
    std::uint64_t violations = 0;
};

void Report(const char* what, std::uint64_t world, std::uint64_t frame, const StoredSettings& stored,
            const Rect& area, bool preview, const std::string& why) {
    std::printf("violation in world %" PRIu64 " at frame %" PRIu64 " (%s): %s\n  area %d x %d%s, stored", world,
                frame, what, why.c_str(), area.right, area.bottom, preview ? ", preview" : "");
    for (const SettingDef& def : AllSettings()) std::printf(" %s=%d", def.key, stored.Get(def.id));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t frames = 200000;
    std::uint64_t seed = static_cast<std::uint64_t>(std::time(nullptr));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        char* end = nullptr;
        if ((arg == "--frames" || arg == "--seed") && i + 1 < argc) {
            const unsigned long long v = std::strtoull(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0') {
                std::fprintf(stderr, "vellora-soak: %s takes a whole number\n", arg.c_str());
                return 2;
            }
            (arg == "--frames" ? frames : seed) = v;
        } else {
            std::fprintf(stderr, "usage: vellora-soak [--frames N] [--seed S]\n");
            return 2;
        }
    }

    Dice dice(seed);
    Totals totals;
    const std::time_t start = std::time(nullptr);
    std::time_t lastReport = start;
    while (totals.frames < frames && totals.violations < 20) {
        StoredSettings stored;
        for (const SettingDef& def : AllSettings()) stored.Set(def.id, DrawValue(dice, def));
        const Rect area = DrawArea(dice);
        const bool preview = dice.Chance(10);
        MemoryProfile profile;
        stored.Write(profile);

        Simulation sim(static_cast<std::uint32_t>(dice.Next()));
        soak::WorldChecker checker;
        SetupWorld(sim, profile, area, preview);
        ++totals.worlds;
        std::string why = checker.Check(sim, area);
        if (!why.empty()) {
            ++totals.violations;
            Report("after setup", totals.worlds, 0, stored, area, preview, why);
            continue;
        }
        // Some worlds are drawn, on windows small enough to keep the soak quick.
        std::unique_ptr<SoftCanvas> window;
        if (area.right > 0 && area.bottom > 0 && std::int64_t{area.right} * area.bottom <= 640 * 480 && dice.Chance(30))
            window = SoftCanvas::Create(area.right, area.bottom);
        // Short scenes now and then, so that scene changes are soaked too.
        if (dice.Chance(20)) sim.settings.scenarioCounter = static_cast<std::uint32_t>(dice.Between(1, 300));
        // A drawn world runs fewer frames: the software raster draws every ball that reaches into
        // each dirty rectangle, and a hundred balls of radius 100 on a 640 x 480 window take more
        // than a second a frame under the sanitizers.
        const std::int64_t length = window ? dice.Between(20, 60) : dice.Between(200, 3000);
        for (std::int64_t f = 1; f <= length && totals.frames < frames; ++f) {
            if (TickFrame(sim, profile, area, window.get())) checker.SceneStarted();
            ++totals.frames;
            if (window) ++totals.drawnFrames;
            why = checker.Check(sim, area);
            if (!why.empty()) {
                ++totals.violations;
                Report("after a frame", totals.worlds, static_cast<std::uint64_t>(f), stored, area, preview, why);
                break;
            }
        }
        if (window && (window->Shared().liveBrushes != 0 || window->Shared().livePens != 0 ||
                       window->Shared().liveBackBuffers != 0)) {
            ++totals.violations;
            Report("drawing", totals.worlds, 0, stored, area, preview, "drawing objects outlived their frame");
        }
        const std::time_t now = std::time(nullptr);
        if (now - lastReport >= 60) {
            lastReport = now;
            std::printf("soak: %" PRIu64 " frames, %" PRIu64 " worlds so far\n", totals.frames, totals.worlds);
            std::fflush(stdout);
        }
    }
    std::printf("soak: %" PRIu64 " frames run (%" PRIu64 " drawn) in %" PRIu64 " worlds, %" PRIu64
                " violations, seed %" PRIu64 ", %lld s\n",
                totals.frames, totals.drawnFrames, totals.worlds, totals.violations, seed,
                static_cast<long long>(std::time(nullptr) - start));
    return totals.violations == 0 ? 0 : 1;
}
