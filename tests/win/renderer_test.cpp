// The frame renderer on a real window: its back buffer holds one dirty rectangle at a time, and
// every frame must reach the window exactly as it did when the buffer spanned the whole clip box.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "saver/app/gdi_canvas.h"
#include "saver/config/settings.h"
#include "saver/render/renderer.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/step.h"
#include "saver/sim/world_setup.h"
#include "test_support.h"

namespace {

using vellora::Canvas;
using vellora::Rect;
using vellora::Simulation;

// The back buffer as it was made: a device bitmap compatible with the target.
class DeviceBitmapBuffer : public vellora::win::GdiCanvas {
public:
    DeviceBitmapBuffer(HDC target, const Rect& area)
        : GdiCanvas(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, area.Width(), area.Height())),
          previous_(SelectObject(Dc(), bitmap_)) {
        OffsetViewportOrgEx(Dc(), -area.left, -area.top, nullptr);
    }
    ~DeviceBitmapBuffer() override {
        SelectObject(Dc(), previous_);
        DeleteObject(bitmap_);
        DeleteDC(Dc());
    }

private:
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

class DeviceBitmapCanvas : public vellora::win::GdiCanvas {
public:
    using GdiCanvas::GdiCanvas;
    std::unique_ptr<Canvas> CreateBackBuffer(const Rect& area) override {
        return std::make_unique<DeviceBitmapBuffer>(Dc(), area);
    }
};

// The renderer as it was: a back buffer the size of the target's clip box, every dirty rectangle
// blacked out and every ball drawn in it, then the sparks erased, the rectangles copied and the
// sparks drawn. (Its path without a buffer is the renderer's own, unchanged.)
void RenderWithClipBoxBuffer(Simulation& sim, Canvas& target) {
    const Rect area = target.ClipBox();
    std::unique_ptr<Canvas> buffer = target.CreateBackBuffer(area);
    ASSERT_TRUE(buffer);
    const auto black = buffer->CreateSolidBrush(vellora::kBlack);
    ASSERT_TRUE(black);
    auto dirty = [](const vellora::Ball& b) { return InflateRect(UnionRect(b.bounds, b.prevBounds), 1, 1); };
    const auto& balls = sim.world.balls;
    for (const auto& ball : balls) buffer->FillRect(dirty(*ball), *black);
    for (const auto& ball : balls) vellora::DrawBall(*ball, sim.settings.game, *buffer);
    target.UsePlainMapping();
    vellora::EraseSparks(sim.sparkRing, target);
    for (const auto& ball : balls) target.CopyFrom(*buffer, dirty(*ball));
    vellora::DrawSparks(sim.sparkRing, target);
}

// Draws one frame on the window through a client-area context, limited to clip when it is not
// empty and cleared to black there first, as a paint of that part of the window does.
template <typename TargetCanvas, typename Render>
void DrawFrame(HWND hwnd, const Rect& clip, Render render) {
    HDC dc = GetDC(hwnd);
    if (!IsRectEmpty(clip)) {
        HRGN region = CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
        SelectClipRgn(dc, region);
        DeleteObject(region);
        const RECT rc{clip.left, clip.top, clip.right, clip.bottom};
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    {
        TargetCanvas canvas(dc);
        render(canvas);
    }
    ReleaseDC(hwnd, dc);
}

struct Scene {
    const char* name;
    std::int32_t numBalls, ballSize, velocity, game, ballSizeSel, gravity;
};

TEST(RendererOnAWindow, EveryFrameReachesTheWindowAsWithAClipBoxBuffer) {
    constexpr int kW = 320, kH = 240;
    const Rect area{0, 0, kW, kH};
    // Crowded and sparking, with balls of three sizes; dying balls; few large balls under gravity
    // that keep hitting the edges.
    const Scene scenes[] = {
        {"good vs. evil, sparks, mixed sizes", 45, 12, 14, vellora::GoodVsEvil, 2, 0},
        {"decay, dead balls", 30, 14, 12, vellora::Decay, 0, 0},
        {"large balls under gravity", 6, 60, 20, vellora::JustBounce, 0, 30},
    };
    // Every 7th frame is drawn as a paint of part of the window, one of these parts in turn.
    const Rect paints[] = {{40, 30, 200, 150}, {0, 0, 90, kH}, {250, 180, 330, 250}, {100, 100, 101, 101}};
    vtest::TestWindow oldWindow(nullptr, WS_POPUP | WS_VISIBLE, RECT{0, 0, kW, kH});
    vtest::TestWindow newWindow(nullptr, WS_POPUP | WS_VISIBLE, RECT{kW + 10, 0, 2 * kW + 10, kH});
    for (const Scene& scene : scenes) {
        vellora::MemoryProfile profile;
        profile.WriteInt("Settings", "NumBalls", scene.numBalls);
        profile.WriteInt("Settings", "BallSize", scene.ballSize);
        profile.WriteInt("Settings", "Velocity", scene.velocity);
        profile.WriteInt("Settings", "Game", scene.game);
        profile.WriteInt("Settings", "BallSizeSel", scene.ballSizeSel);
        profile.WriteInt("Settings", "Gravity", scene.gravity);
        profile.WriteInt("Settings", "Sparks", 1);
        Simulation oldSim(2024), newSim(2024);
        ASSERT_TRUE(vellora::SetupWorld(oldSim, profile, area, false));
        ASSERT_TRUE(vellora::SetupWorld(newSim, profile, area, false));
        for (HWND hwnd : {oldWindow.Handle(), newWindow.Handle()}) {
            DrawFrame<vellora::win::GdiCanvas>(hwnd, area, [](Canvas&) {});  // black to start with
        }
        int litFrames = 0;
        for (int frame = 1; frame <= 150; ++frame) {
            const Rect clip = frame % 7 == 0 ? paints[(frame / 7) % 4] : Rect{};
            if (clip == Rect{}) {
                vellora::StepWorld(oldSim, area);
                vellora::StepWorld(newSim, area);
            }
            DrawFrame<DeviceBitmapCanvas>(oldWindow.Handle(), clip, [&](Canvas& c) { RenderWithClipBoxBuffer(oldSim, c); });
            DrawFrame<vellora::win::GdiCanvas>(newWindow.Handle(), clip, [&](Canvas& c) { vellora::RenderFrame(newSim, c); });
            const vtest::Pixels before = vtest::ReadClientPixels(oldWindow.Handle());
            const vtest::Pixels now = vtest::ReadClientPixels(newWindow.Handle());
            ASSERT_EQ(now.width, kW);
            ASSERT_EQ(before.width, kW);
            int differing = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (now.At(x, y) != before.At(x, y) && differing++ == 0) firstX = x, firstY = y;
            ASSERT_EQ(differing, 0) << scene.name << ", frame " << frame << ": first at " << firstX << "," << firstY
                                    << ": " << std::hex << now.At(firstX, firstY) << " instead of "
                                    << before.At(firstX, firstY);
            if (now.CountNonBlack() > 0) ++litFrames;
            for (std::size_t i = 0; i < oldSim.world.balls.size(); ++i) {
                ASSERT_EQ(newSim.world.balls[i]->bounds, oldSim.world.balls[i]->bounds) << scene.name << ", frame " << frame;
            }
        }
        EXPECT_EQ(litFrames, 150) << scene.name;
        vellora::TeardownWorld(oldSim);
        vellora::TeardownWorld(newSim);
    }
}

}  // namespace
