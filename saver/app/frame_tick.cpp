#include "saver/app/frame_tick.h"

#include "saver/render/canvas.h"
#include "saver/render/renderer.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/step.h"
#include "saver/sim/world_setup.h"

namespace vellora {

bool TickFrame(Simulation& sim, const Profile& profile, const Rect& clientArea, Canvas* canvas) {
    StepWorld(sim, clientArea);
    if (canvas) RenderFrame(sim, *canvas);
    ++sim.world.frameCount;
    if (sim.world.frameCount < sim.settings.scenarioCounter) return false;

    // The scene has run its length: the window goes black and the next scene starts with the
    // settings as they are stored now. Its balls are first drawn by the next tick.
    if (canvas) {
        if (auto black = canvas->CreateSolidBrush(kBlack)) canvas->FillRect(clientArea, *black);
    }
    SetupWorld(sim, profile, clientArea, false);
    return true;
}

}  // namespace vellora
