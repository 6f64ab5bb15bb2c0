// vellora-sim: the saver's world without a window. Sets a world up from the given settings, runs
// frames as the saver window's timer does and prints the state as JSON lines.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/render/soft_canvas.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tools/sim/png_writer.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/world_json.h"

using namespace vellora;
using namespace vellora::simtool;

namespace {

// Every error is one line, whatever the paths and arguments it quotes hold.
void PrintError(const std::string& message) { std::fprintf(stderr, "vellora-sim: %s\n", OneLine(message).c_str()); }

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        PrintError(error);
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
    // With --png the frames are drawn onto an image of the window, which starts black as the
    // saver window does; without it nothing is drawn.
    std::unique_ptr<SoftCanvas> window;
    if (!options.pngDir.empty()) {
        // Refused before anything is made: an image beyond what the canvas holds, or what memory gives.
        window = SoftCanvas::Create(area.Width(), area.Height());
        if (!window) {
            PrintError("--png: a " + std::to_string(area.Width()) + "x" + std::to_string(area.Height()) +
                       " window image is more than this tool can hold (at most " +
                       std::to_string(SoftCanvas::kMaxPixels) + " pixels)");
            return 2;
        }
        std::error_code ec;
        std::filesystem::create_directories(options.pngDir, ec);
        if (ec) {
            PrintError(options.pngDir + ": " + ec.message());
            return 2;
        }
    }
    Canvas* canvas = window.get();

    auto dump = [&](std::uint64_t frame) {
        const std::string line = WorldToJson(sim, area, frame);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        if (window) {
            char name[40];
            std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(frame));
            std::string pngError;
            if (!WritePng(*window, (std::filesystem::path(options.pngDir) / name).string(), pngError)) {
                PrintError(pngError);
                return false;
            }
        }
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
