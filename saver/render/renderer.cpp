// One frame: the sparks' last dashes are erased on the target, then every ball's dirty rectangle
// is blacked out in a back buffer, the balls that reach into it are drawn there and the rectangle
// is copied to the target; last, the sparks' next dashes are drawn. The back buffer holds one
// dirty rectangle at a time, so it is as large as the largest of them, not as the window: a frame
// costs what its balls cost on any screen. Every drawing object lives only for the call that
// makes it.
#include "saver/render/renderer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "saver/render/canvas.h"
#include "saver/sim/ball.h"
#include "saver/sim/sim_state.h"

namespace vellora {

namespace {

// The rectangle DrawBall draws a ball in, and writes into its bounds.
Rect DrawnRect(const Ball& ball) {
    return Rect{Trunc(ball.worldX - ball.radius), Trunc(ball.worldY - ball.radius), Trunc(ball.worldX + ball.radius),
                Trunc(ball.worldY + ball.radius)};
}

// Where the ball is drawn now and where it was drawn last frame, with a one-pixel margin.
Rect DirtyRect(const Rect& bounds, const Rect& prevBounds) { return InflateRect(UnionRect(bounds, prevBounds), 1, 1); }
Rect DirtyRect(const Ball& ball) { return DirtyRect(ball.bounds, ball.prevBounds); }

// The pen and brush of one ball for this frame; no pen when it is not drawn (dead, or an object
// could not be made).
struct BallPaint {
    std::unique_ptr<Pen> pen;
    std::unique_ptr<Brush> brush;
};

BallPaint MakePaint(const Ball& ball, std::int32_t game, Canvas& canvas) {
    BallPaint paint;
    if (IsDeadBall(game, ball.color)) return paint;
    paint.pen = canvas.CreateSolidPen(1, HasWhiteOutline(game, ball.index) ? kWhite : ball.color);
    if (!paint.pen) return paint;
    paint.brush = canvas.CreateSolidBrush(ball.color);
    if (!paint.brush) paint.pen.reset();
    return paint;
}

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
    const Rect clip = target.ClipBox();
    const std::int32_t game = sim.settings.game;
    const auto& balls = sim.world.balls;

    // The largest dirty rectangle within the clip box, whether or not a ball's bounds are rewritten
    // below; at least one pixel, so that a frame without balls still has a buffer.
    std::int32_t width = 1, height = 1;
    for (const auto& ball : balls) {
        for (const Rect& dirty : {DirtyRect(*ball), DirtyRect(DrawnRect(*ball), ball->prevBounds)}) {
            const Rect visible = IntersectRect(dirty, clip);
            width = std::max(width, visible.Width());
            height = std::max(height, visible.Height());
        }
    }
    std::unique_ptr<Canvas> buffer = target.CreateBackBuffer(Rect{clip.left, clip.top, clip.left + width, clip.top + height});
    if (!buffer) {
        RenderDirect(sim, target);
        return;
    }
    const auto black = buffer->CreateSolidBrush(kBlack);
    if (!black) return;

    // One pen and one brush per drawn ball, made in balls order; a ball that gets them has its
    // bounds rewritten as DrawBall does, so the dirty rectangles below are those of the drawn frame.
    std::vector<BallPaint> paints;
    paints.reserve(balls.size());
    for (const auto& ball : balls) {
        paints.push_back(MakePaint(*ball, game, *buffer));
        if (paints.back().pen) ball->bounds = DrawnRect(*ball);
    }

    target.UsePlainMapping();
    EraseSparks(sim.sparkRing, target);
    // Each ball's rectangle contains its bounds, so every ball reaches the window in every frame
    // and repairs any spark erased across it.
    for (const auto& ball : balls) {
        const Rect dirty = IntersectRect(DirtyRect(*ball), clip);
        if (IsRectEmpty(dirty)) continue;
        buffer->MapBackBuffer(dirty.left, dirty.top);
        buffer->FillRect(dirty, *black);
        // Every ball that reaches into the rectangle is drawn in it, in balls order, so that
        // overlapping balls show as they do on the window.
        // (The test allows a pixel around the bounds: drawing one ball too many only touches
        // buffer pixels that are not copied.)
        for (std::size_t i = 0; i < balls.size(); ++i) {
            const Rect& bounds = balls[i]->bounds;
            if (paints[i].pen && !IsRectEmpty(IntersectRect(InflateRect(bounds, 1, 1), dirty))) {
                buffer->Ellipse(bounds, *paints[i].pen, *paints[i].brush);
            }
        }
        target.CopyFrom(*buffer, dirty);
    }
    DrawSparks(sim.sparkRing, target);
}

void DrawBall(Ball& ball, std::int32_t game, Canvas& canvas) {
    const BallPaint paint = MakePaint(ball, game, canvas);
    if (!paint.pen) return;
    ball.bounds = DrawnRect(ball);
    canvas.Ellipse(ball.bounds, *paint.pen, *paint.brush);
}

}  // namespace vellora
