// The full-screen run's portable rules: which saver windows cover which monitors, and when the
// pointer counts as the user.
//
// A full-screen run has one window, with a world of its own, per monitor. One window over the
// bounding box of all monitors would let balls wander into the parts of that box no monitor shows
// (monitors of different sizes or offsets leave such gaps); a world per monitor keeps every ball
// on a screen someone sees, and each world fills its monitor's pixels as a one-screen run does.
#pragma once

#include <cstdint>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora {

// A point on the virtual screen, in device pixels; monitors left of or above the primary one
// have negative coordinates.
struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ScreenPoint& a, const ScreenPoint& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const ScreenPoint& a, const ScreenPoint& b) { return !(a == b); }
};

// A monitor as the system lists it: its area on the virtual screen.
struct MonitorArea {
    Rect area;
    bool primary = false;
};

// The screen rectangles of the saver windows, one per monitor, the primary monitor's first (it
// gets the keyboard), the others in the system's order. Empty monitors are left out; a monitor
// that shows only what an earlier one shows (a mirror) gets no window; a partial overlap is
// trimmed off the later window when what remains is a rectangle, so no window hides another's
// balls. Without any usable monitor the run covers primaryScreen (0, 0, screen width, height).
std::vector<Rect> SaverWindowAreas(const std::vector<MonitorArea>& monitors, const Rect& primaryScreen);

// The pointer rule: the position the pointer rests at when the run starts is only recorded; any
// other position, on any monitor, ends the run. Without a known start the first reported position
// is taken as it (the system reports one when a window appears under a pointer that has not moved).
class PointerWatch {
public:
    void Rest(ScreenPoint at) {
        first_ = at;
        known_ = true;
    }
    // A position the pointer was reported at; true when it ends the run.
    bool EndsRun(ScreenPoint at) {
        if (!known_) {
            Rest(at);
            return false;
        }
        return at != first_;
    }

private:
    ScreenPoint first_;
    bool known_ = false;
};

}  // namespace vellora
