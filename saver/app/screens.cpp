#include "saver/app/screens.h"

namespace vellora {

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// What of area lies outside taken, when that is one rectangle; area itself when the overlap would
// leave an L or a frame (no window can have that shape; the overlap then stays shared).
Rect Uncovered(Rect area, const Rect& taken) {
    const Rect overlap = IntersectRect(area, taken);
    if (IsRectEmpty(overlap)) return area;
    if (Contains(taken, area)) return Rect{};
    if (overlap.top == area.top && overlap.bottom == area.bottom) {
        if (overlap.left == area.left) area.left = overlap.right;
        else if (overlap.right == area.right) area.right = overlap.left;
    } else if (overlap.left == area.left && overlap.right == area.right) {
        if (overlap.top == area.top) area.top = overlap.bottom;
        else if (overlap.bottom == area.bottom) area.bottom = overlap.top;
    }
    return area;
}

}  // namespace

std::vector<Rect> SaverWindowAreas(const std::vector<MonitorArea>& monitors, const Rect& primaryScreen) {
    std::vector<const MonitorArea*> ordered;
    for (const MonitorArea& m : monitors) {
        if (m.primary) ordered.push_back(&m);
    }
    for (const MonitorArea& m : monitors) {
        if (!m.primary) ordered.push_back(&m);
    }
    std::vector<Rect> windows;
    for (const MonitorArea* m : ordered) {
        Rect area = m->area;
        for (const Rect& taken : windows) {
            if (IsRectEmpty(area)) break;
            area = Uncovered(area, taken);
        }
        if (!IsRectEmpty(area)) windows.push_back(area);
    }
    if (windows.empty() && !IsRectEmpty(primaryScreen)) windows.push_back(primaryScreen);
    return windows;
}

}  // namespace vellora
