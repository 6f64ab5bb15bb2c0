// The sparks are drawn straight onto the window, outside the balls' back buffer: each frame first
// blacks out every live spark's last dash, then draws the next one.
#include "saver/collide/sparks.h"
#include "saver/render/canvas.h"
#include "saver/render/renderer.h"

namespace vellora {

void EraseSparks(const SparkRing& ring, Canvas& canvas) {
    const auto pen = canvas.CreateSolidPen(kSparkPenWidth, kBlack);
    if (!pen) return;
    // No life test: a burst in its last frame still has a dash on the window to take away.
    ring.ForEachLive([&](const Spark* burst) {
        for (std::int32_t i = 0; i < ring.sparksPerBurst; ++i) {
            const Spark& s = burst[i];
            canvas.Line(s.prevX, s.prevY, s.x, s.y, *pen);
        }
    });
}

void DrawSparks(const SparkRing& ring, Canvas& canvas) {
    const auto pen = canvas.CreateSolidPen(kSparkPenWidth, kWhite);
    if (!pen) return;
    // A burst with one frame left is only erased: its last dash is never drawn.
    ring.ForEachLive([&](const Spark* burst) {
        if (burst[0].life <= 1) return;
        for (std::int32_t i = 0; i < ring.sparksPerBurst; ++i) {
            const Spark& s = burst[i];
            // Held at the 32-bit limits, so a spark at the edge of the coordinate range cannot overflow.
            canvas.Line(s.x, s.y, SaturateToInt32(std::int64_t{s.x} + s.stepX), SaturateToInt32(std::int64_t{s.y} + s.stepY),
                        *pen);
        }
    });
}

}  // namespace vellora
