// A world built from ten arbitrary stored values and an arbitrary area, run for a few hundred
// frames as the saver window's timer runs them, every invariant checked after every frame: finite
// numbers, every centre inside the area, every ball in its cell's list, the bursts within the ring.
// Now and then the scene is set up anew, on another area, as a new scene or a resized window does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "saver/app/frame_tick.h"
#include "saver/config/settings.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/soak/world_invariants.h"

using namespace vellora;

namespace {

Rect TakeArea(fuzz::Input& input) {
    const auto w = input.Take<std::int32_t>();
    const auto h = input.Take<std::int32_t>();
    return Rect{0, 0, w, h};
}

void Check(soak::WorldChecker& checker, const Simulation& sim, const Rect& area, const char* when, int frame) {
    const std::string why = checker.Check(sim, area);
    if (!why.empty())
        fuzz::Violation(std::string(when) + " " + std::to_string(frame) + " on " + std::to_string(area.right) + " x " +
                        std::to_string(area.bottom) + ": " + why);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    MemoryProfile profile;
    for (const SettingDef& def : AllSettings()) WriteSetting(profile, def.id, input.Take<std::int32_t>());
    Rect area = TakeArea(input);
    const bool preview = input.TakeBool();
    Simulation sim(input.Take<std::uint32_t>());
    const int frames = 100 + static_cast<int>(input.Take<std::uint8_t>());  // 100 to 355
    const int newSceneAt = static_cast<int>(input.Take<std::uint8_t>());    // 0: never
    const Rect secondArea = TakeArea(input);

    soak::WorldChecker checker;
    SetupWorld(sim, profile, area, preview);
    Check(checker, sim, area, "after setup", 0);
    for (int frame = 1; frame <= frames; ++frame) {
        if (frame == newSceneAt) {
            area = secondArea;
            SetupWorld(sim, profile, area, false);
            checker.SceneStarted();
            Check(checker, sim, area, "after a new setup at frame", frame);
        }
        if (TickFrame(sim, profile, area, nullptr)) checker.SceneStarted();
        Check(checker, sim, area, "after frame", frame);
    }
    return 0;
}
