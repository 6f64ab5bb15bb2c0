// vellora-sim: the saver's world without a window. Sets a world up from the given settings, runs
// frames as the saver window's timer does and prints the state as JSON lines.
#include <cstdio>
#include <ctime>
#include <string>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/world_json.h"

using namespace vellora;
using namespace vellora::simtool;

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "vellora-sim: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage(), stdout);
        return 0;
    }

    MemoryProfile profile;
    for (const auto& [key, value] : options.settings) profile.WriteInt(kSettingsSection, key.c_str(), value);

    Simulation sim(options.seedGiven ? options.seed : static_cast<std::uint32_t>(std::time(nullptr)));
    const Rect area = options.area;
    Canvas* canvas = nullptr;

    auto dump = [&](std::uint64_t frame) {
        const std::string line = WorldToJson(sim, area, frame);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        return true;
    };

    SetupWorld(sim, profile, area, options.preview);
    if (!dump(0)) return 2;
    for (std::uint64_t frame = 1; frame <= options.frames; ++frame) {
        TickFrame(sim, profile, area, canvas);
        const bool due = frame == options.frames || (options.dumpEvery != 0 && frame % options.dumpEvery == 0);
        if (due && !dump(frame)) return 2;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
