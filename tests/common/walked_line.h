// The line drawing rule as a walk: Bresenham's line from the start up to, not including, the end
// point, each point stamping a square of the pen's width whose top-left corner lies
// (width - 1) / 2 pixels up and left of it. The canvas clips lines without walking them; tests and
// the renderer's fuzzer compare it with this walk, for lines short enough to walk.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora::test {

// Which pixels of a width x height image the walk from (x0, y0) to (x1, y1) stamps, within the
// drawable rectangle; row by row.
inline std::vector<bool> WalkedLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t penWidth,
                                    const Rect& drawable, std::int32_t width, std::int32_t height) {
    std::vector<bool> lit(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), false);
    const std::int64_t back = (penWidth - 1) / 2;
    const std::int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    const std::int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    std::int64_t err = dx + dy, x = x0, y = y0;
    while (x != x1 || y != y1) {
        for (std::int64_t py = y - back; py < y - back + penWidth; ++py)
            for (std::int64_t px = x - back; px < x - back + penWidth; ++px)
                if (px >= drawable.left && px < drawable.right && py >= drawable.top && py < drawable.bottom)
                    lit[static_cast<std::size_t>(py * width + px)] = true;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return lit;
}

}  // namespace vellora::test
