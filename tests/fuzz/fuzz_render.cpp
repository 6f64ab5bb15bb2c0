// The frame renderer on the software canvas with arbitrary clips, balls anywhere (numbers of any
// size, not-a-number included), sparks anywhere, and drawing objects whose creation fails at any
// point. Nothing may crash or outlive its frame. Then lines with arbitrary end points, which must
// give exactly the pixels of Bresenham's walk from the start, however far outside the clip they run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "saver/config/settings.h"
#include "saver/render/renderer.h"
#include "saver/render/soft_canvas.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "tests/common/walked_line.h"
#include "tests/fuzz/fuzz_input.h"

using namespace vellora;

namespace {

Rect TakeRect(fuzz::Input& input) {
    Rect r;
    r.left = input.Take<std::int32_t>();
    r.top = input.Take<std::int32_t>();
    r.right = input.Take<std::int32_t>();
    r.bottom = input.Take<std::int32_t>();
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const auto width = static_cast<std::int32_t>(input.TakeBetween(0, 200));
    const auto height = static_cast<std::int32_t>(input.TakeBetween(0, 200));
    SoftCanvas window(width, height);
    if (input.TakeBool()) window.SetClip(TakeRect(input));
    // Each creation asks the next bit of the mask (all bits set: every creation succeeds).
    const auto mask = input.Take<std::uint64_t>();
    int asked = 0;
    window.Shared().allowCreation = [&](SoftObject) { return ((mask >> (asked++ % 64)) & 1) != 0 || mask == 0; };

    Simulation sim(input.Take<std::uint32_t>());
    const auto game = static_cast<std::int32_t>(input.TakeBetween(0, 5));
    SetupWorld(sim, StoredSettings().Set(Setting::NumBalls, 0).Set(Setting::Game, game).Set(Setting::Sparks, 1),
               Rect{0, 0, width, height}, false);
    const auto balls = input.TakeBetween(0, 8);
    for (std::int64_t i = 0; i < balls; ++i) {
        const auto x = input.Take<double>();
        const auto y = input.Take<double>();
        Ball& b = AddBall(sim, x, y);
        b.radius = input.Take<double>();
        b.color = input.Take<std::uint32_t>() & 0xFFFFFFu;
        b.bounds = TakeRect(input);
        b.prevBounds = TakeRect(input);
    }
    const auto bursts = input.TakeBetween(0, kSparkRingCapacity);
    for (std::int64_t i = 0; i < bursts; ++i) {
        Spark* burst = sim.sparkRing.AcquireBurst();
        if (burst == nullptr) break;
        for (std::int32_t k = 0; k < sim.sparkRing.sparksPerBurst; ++k) {
            Spark& s = burst[k];
            s.x = input.Take<std::int32_t>();
            s.y = input.Take<std::int32_t>();
            s.prevX = input.Take<std::int32_t>();
            s.prevY = input.Take<std::int32_t>();
            s.stepX = static_cast<std::int32_t>(input.TakeBetween(-8, 8));
            s.stepY = static_cast<std::int32_t>(input.TakeBetween(-8, 8));
            s.life = static_cast<std::int32_t>(input.TakeBetween(1, kSparkLife));
        }
    }

    RenderFrame(sim, window);
    RenderFrame(sim, window);
    const SoftCanvasShared& shared = window.Shared();
    if (shared.liveBrushes != 0 || shared.livePens != 0 || shared.liveBackBuffers != 0)
        fuzz::Violation("a drawing object outlived its frame");

    // Lines: the clipped drawing against the walk, where the walk is short enough to take.
    window.Shared().allowCreation = nullptr;
    const Rect drawable = window.ClipBox();
    for (int i = 0; i < 4 && input.Left() > 0; ++i) {
        const auto x0 = input.Take<std::int32_t>(), y0 = input.Take<std::int32_t>();
        const auto x1 = input.Take<std::int32_t>(), y1 = input.Take<std::int32_t>();
        const auto penWidth = static_cast<int>(input.TakeBetween(1, 4));
        window.Clear(kBlack);
        auto pen = window.CreateSolidPen(penWidth, kWhite);
        window.Line(x0, y0, x1, y1, *pen);
        const std::int64_t major = std::max(std::llabs(std::int64_t{x1} - x0), std::llabs(std::int64_t{y1} - y0));
        if (major > 100000) continue;
        const auto walked = test::WalkedLine(x0, y0, x1, y1, penWidth, drawable, width, height);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                if ((window.Pixel(x, y) == kWhite) != walked[static_cast<std::size_t>(y) * width + x])
                    fuzz::Violation("the line from " + std::to_string(x0) + "," + std::to_string(y0) + " to " +
                                    std::to_string(x1) + "," + std::to_string(y1) + " differs at " + std::to_string(x) +
                                    "," + std::to_string(y));
    }
    return 0;
}
