// One frame as the drawing window's timer runs it: step, draw, count, and when the scene has run
// its length, clear the window and set up the next scene with freshly read settings.
#pragma once

#include "saver/sim/geometry.h"

namespace vellora {

class Canvas;
class Profile;
struct Simulation;

// canvas may be null (no drawing, as in the headless simulator). Returns true when a new scene
// was set up in this tick.
bool TickFrame(Simulation& sim, const Profile& profile, const Rect& clientArea, Canvas* canvas);

}  // namespace vellora
