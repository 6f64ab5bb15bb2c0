// One frame: every ball's dirty rectangle is blacked out and the balls drawn in a back buffer the
// size of the target's clip box; the sparks' last dashes are erased on the target, the dirty
// rectangles copied over, and the sparks' next dashes drawn. Every drawing object lives only for
// the call that makes it.
#include "saver/render/renderer.h"

#include <memory>

#include "saver/render/canvas.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

// Where the ball is drawn now and where it was drawn last frame, with a one-pixel margin.
Rect DirtyRect(const Ball& ball) { return InflateRect(UnionRect(ball.bounds, ball.prevBounds), 1, 1); }

// Without a buffer the frame is drawn on the target itself, with flicker; the next frame tries the
// buffer again.
void RenderDirect(Simulation& sim, Canvas& target) {
    const auto black = target.CreateSolidBrush(kBlack);
    if (!black) return;
    const std::int32_t game = sim.settings.game;
    for (const auto& ball : sim.world.balls) target.FillRect(InflateRect(ball->prevBounds, 1, 1), *black);
    EraseSparks(sim.sparkRing, target);
    for (const auto& ball : sim.world.balls) DrawBall(*ball, game, target);
    DrawSparks(sim.sparkRing, target);
}

}  // namespace

void RenderFrame(Simulation& sim, Canvas& target) {
    const Rect area = target.ClipBox();
    std::unique_ptr<Canvas> buffer = target.CreateBackBuffer(area);
    if (!buffer) {
        RenderDirect(sim, target);
        return;
    }
    const auto black = buffer->CreateSolidBrush(kBlack);
    if (!black) return;

    const std::int32_t game = sim.settings.game;
    const auto& balls = sim.world.balls;
    for (const auto& ball : balls) buffer->FillRect(DirtyRect(*ball), *black);
    // Every ball is drawn, so a ball reaching into another ball's dirty rectangle shows there too.
    for (const auto& ball : balls) DrawBall(*ball, game, *buffer);

    target.UsePlainMapping();
    EraseSparks(sim.sparkRing, target);
    // Each ball's rectangle contains its bounds, so every ball reaches the window in every frame
    // and repairs any spark erased across it.
    for (const auto& ball : balls) target.CopyFrom(*buffer, DirtyRect(*ball));
    DrawSparks(sim.sparkRing, target);
}

void DrawBall(Ball& ball, std::int32_t game, Canvas& canvas) {
    if (IsDeadBall(game, ball.color)) return;
    const auto pen = canvas.CreateSolidPen(1, HasWhiteOutline(game, ball.index) ? kWhite : ball.color);
    if (!pen) return;
    const auto brush = canvas.CreateSolidBrush(ball.color);
    if (!brush) return;
    ball.bounds = Rect{Trunc(ball.worldX - ball.radius), Trunc(ball.worldY - ball.radius),
                       Trunc(ball.worldX + ball.radius), Trunc(ball.worldY + ball.radius)};
    canvas.Ellipse(ball.bounds, *pen, *brush);
}

}  // namespace vellora
