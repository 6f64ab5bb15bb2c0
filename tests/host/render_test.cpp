// What the window shows: the software canvas's own drawing rules, then frames drawn by the
// renderer onto a window image, compared pixel by pixel with the picture the user should see.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "canvas_faults.h"
#include "saver/app/frame_tick.h"
#include "saver/collide/sparks.h"
#include "saver/config/settings.h"
#include "saver/render/renderer.h"
#include "saver/render/soft_canvas.h"
#include "saver/sim/sim_state.h"
#include "test_world.h"
#include "tools/sim/png_writer.h"

namespace vellora {
namespace {

constexpr ColorRef kPenColor = Rgb(255, 40, 0);
constexpr ColorRef kBrushColor = Rgb(0, 90, 250);
constexpr ColorRef kMarker = Rgb(17, 34, 51);

// Equal pixel for pixel; on a difference, where and how many.
::testing::AssertionResult SameImage(const SoftCanvas& actual, const SoftCanvas& expected) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return ::testing::AssertionFailure() << "sizes differ";
    int differing = 0;
    std::ostringstream first;
    for (std::int32_t y = 0; y < actual.Height(); ++y) {
        for (std::int32_t x = 0; x < actual.Width(); ++x) {
            if (actual.Pixel(x, y) == expected.Pixel(x, y)) continue;
            if (differing++ == 0)
                first << "first at (" << x << ", " << y << "): 0x" << std::hex << actual.Pixel(x, y) << " instead of 0x"
                      << expected.Pixel(x, y);
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, " << first.str();
}

void Paint(SoftCanvas& canvas, const Rect& r, ColorRef color) {
    auto brush = canvas.CreateSolidBrush(color);
    canvas.FillRect(r, *brush);
}

void DrawLine(SoftCanvas& canvas, int x0, int y0, int x1, int y1, int width, ColorRef color) {
    auto pen = canvas.CreateSolidPen(width, color);
    canvas.Line(x0, y0, x1, y1, *pen);
}

// ---------------------------------------------------------------------------------------------
// The canvas's drawing rules

struct EllipseSize {
    std::int32_t w, h;
};

class EllipseShape : public ::testing::TestWithParam<EllipseSize> {};

// 0 outside, 1 outline, 2 interior; everything beyond the canvas counts as outside.
int KindAt(const SoftCanvas& c, std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= c.Width() || y >= c.Height()) return 0;
    const ColorRef p = c.Pixel(x, y);
    return p == kPenColor ? 1 : p == kBrushColor ? 2 : p == kBlack ? 0 : -1;
}

TEST_P(EllipseShape, IsASymmetricInscribedShapeWithAOnePixelOutline) {
    const auto [w, h] = GetParam();
    SoftCanvas c(w + 20, h + 20);
    const Rect r{7, 5, 7 + w, 5 + h};
    auto pen = c.CreateSolidPen(1, kPenColor);
    auto brush = c.CreateSolidBrush(kBrushColor);
    c.Ellipse(r, *pen, *brush);

    int outline = 0, interior = 0;
    bool topRow = false, bottomRow = false, leftColumn = false, rightColumn = false;
    for (std::int32_t y = 0; y < c.Height(); ++y) {
        int runs = 0;
        for (std::int32_t x = 0; x < c.Width(); ++x) {
            const int k = KindAt(c, x, y);
            ASSERT_GE(k, 0) << "stray colour at " << x << "," << y;
            if (k == 0) continue;
            if (KindAt(c, x - 1, y) == 0) ++runs;
            const bool inRect = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            ASSERT_TRUE(inRect) << "pixel outside the rectangle (right and bottom excluded) at " << x << "," << y;
            topRow |= y == r.top;
            bottomRow |= y == r.bottom - 1;
            leftColumn |= x == r.left;
            rightColumn |= x == r.right - 1;
            // Mirror images left-right and top-bottom.
            EXPECT_EQ(k, KindAt(c, r.left + r.right - 1 - x, y)) << x << "," << y;
            EXPECT_EQ(k, KindAt(c, x, r.top + r.bottom - 1 - y)) << x << "," << y;
            if (w == h) { EXPECT_EQ(k, KindAt(c, r.left + (y - r.top), r.top + (x - r.left))) << "diagonal " << x << "," << y; }
            const bool touchesOutside = KindAt(c, x - 1, y) == 0 || KindAt(c, x + 1, y) == 0 ||
                                        KindAt(c, x, y - 1) == 0 || KindAt(c, x, y + 1) == 0;
            // The outline is exactly the pixels next to the outside: one pixel wide, and the
            // interior never touches the background (no gap in the outline).
            if (k == 1) {
                ++outline;
                EXPECT_TRUE(touchesOutside) << "outline pixel with no outside neighbour at " << x << "," << y;
            } else {
                ++interior;
                EXPECT_FALSE(touchesOutside) << "interior reaches the background at " << x << "," << y;
            }
        }
        EXPECT_LE(runs, 1) << "row " << y << " is not one run";
    }
    // A very flat ellipse stops short of its narrow ends (no pixel centre there lies inside it).
    if (w <= 2 * h && h <= 2 * w) {
        EXPECT_TRUE(topRow && bottomRow && leftColumn && rightColumn) << "not inscribed in its rectangle";
    }
    if (w >= 3 && h >= 3) { EXPECT_GT(interior, 0); }
    if (w <= 2 || h <= 2) { EXPECT_EQ(interior, 0); }
    if (w == 1 && h == 1) { EXPECT_EQ(outline, 1); }
    if (w == 2 && h == 2) { EXPECT_EQ(outline, 4); }
    if (w >= 10 && h >= 10) {
        const double area = 3.14159265 * w * h / 4.0;
        EXPECT_NEAR(outline + interior, area, area * 0.06) << "not the area of an ellipse";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EllipseShape,
                         ::testing::Values(EllipseSize{1, 1}, EllipseSize{2, 2}, EllipseSize{3, 3}, EllipseSize{4, 4},
                                           EllipseSize{5, 5}, EllipseSize{6, 6}, EllipseSize{7, 7}, EllipseSize{10, 10},
                                           EllipseSize{11, 11}, EllipseSize{20, 20}, EllipseSize{31, 31},
                                           EllipseSize{60, 60}, EllipseSize{61, 61}, EllipseSize{200, 200},
                                           EllipseSize{10, 7}, EllipseSize{6, 9}, EllipseSize{40, 41},
                                           EllipseSize{1, 8}, EllipseSize{30, 2}),
                         [](const ::testing::TestParamInfo<EllipseSize>& info) {
                             return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
                         });

TEST(SoftCanvasEllipse, ClippedOrBufferedDrawingGivesTheSamePixels) {
    const Rect r{13, 9, 58, 52};
    SoftCanvas whole(80, 70);
    {
        auto pen = whole.CreateSolidPen(1, kPenColor);
        auto brush = whole.CreateSolidBrush(kBrushColor);
        whole.Ellipse(r, *pen, *brush);
    }

    const Rect clip{20, 30, 45, 66};
    SoftCanvas part(80, 70);
    part.SetClip(clip);
    {
        auto pen = part.CreateSolidPen(1, kPenColor);
        auto brush = part.CreateSolidBrush(kBrushColor);
        part.Ellipse(r, *pen, *brush);
    }
    for (std::int32_t y = 0; y < 70; ++y)
        for (std::int32_t x = 0; x < 80; ++x) {
            const bool inClip = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(part.Pixel(x, y), inClip ? whole.Pixel(x, y) : kBlack) << x << "," << y;
        }

    // Drawn in window positions into a buffer over part of the window, then copied back.
    SoftCanvas window(80, 70);
    auto buffer = window.CreateBackBuffer(clip);
    ASSERT_TRUE(buffer);
    {
        auto pen = buffer->CreateSolidPen(1, kPenColor);
        auto brush = buffer->CreateSolidBrush(kBrushColor);
        buffer->Ellipse(r, *pen, *brush);
    }
    window.CopyFrom(*buffer, Rect{0, 0, 80, 70});
    EXPECT_TRUE(SameImage(window, part));
}

TEST(SoftCanvasFill, ExcludesRightAndBottomAndIgnoresEmptyRectangles) {
    struct Case {
        Rect r;
        Rect filled;  // empty: nothing
    };
    const Case cases[] = {
        {{2, 3, 6, 5}, {2, 3, 6, 5}},        {{4, 4, 5, 5}, {4, 4, 5, 5}},      {{4, 4, 4, 9}, {}},
        {{4, 9, 9, 9}, {}},                  {{6, 2, 3, 5}, {}},                {{2, 6, 5, 3}, {}},
        {{-3, -3, 2, 2}, {0, 0, 2, 2}},      {{18, 10, 30, 30}, {18, 10, 20, 16}}, {{25, 2, 30, 4}, {}},
        {{-100, -100, 100, 100}, {0, 0, 20, 16}},
    };
    for (const Case& c : cases) {
        SoftCanvas canvas(20, 16);
        Paint(canvas, c.r, kBrushColor);
        for (std::int32_t y = 0; y < 16; ++y)
            for (std::int32_t x = 0; x < 20; ++x) {
                const bool in = x >= c.filled.left && x < c.filled.right && y >= c.filled.top && y < c.filled.bottom;
                ASSERT_EQ(canvas.Pixel(x, y), in ? kBrushColor : kBlack)
                    << "rect " << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom << " at " << x << "," << y;
            }
    }
}

TEST(SoftCanvasLine, ExcludesTheEndPointAndStampsThePenWidth) {
    struct Case {
        int x0, y0, x1, y1, width;
        std::vector<std::pair<int, int>> pixels;
    };
    const Case cases[] = {
        {0, 0, 4, 0, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {4, 0, 0, 0, 1, {{4, 0}, {3, 0}, {2, 0}, {1, 0}}},
        {0, 0, 3, 3, 1, {{0, 0}, {1, 1}, {2, 2}}},
        {5, 5, 5, 5, 1, {}},
        {5, 5, 5, 5, 2, {}},
        {3, 2, 3, 4, 1, {{3, 2}, {3, 3}}},
        {10, 10, 13, 10, 2, {{10, 10}, {11, 10}, {12, 10}, {13, 10}, {10, 11}, {11, 11}, {12, 11}, {13, 11}}},
        {10, 10, 11, 11, 2, {{10, 10}, {11, 10}, {10, 11}, {11, 11}}},
    };
    for (const Case& c : cases) {
        SoftCanvas canvas(20, 20);
        DrawLine(canvas, c.x0, c.y0, c.x1, c.y1, c.width, kWhite);
        std::vector<std::pair<int, int>> got;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (canvas.Pixel(x, y) == kWhite) got.emplace_back(x, y);
        auto want = c.pixels;
        std::sort(want.begin(), want.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
        EXPECT_EQ(got, want) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1 << " width " << c.width;
    }
}

TEST(SoftCanvasLine, ABlackLineCoversExactlyTheWhiteOneWithTheSameEnds) {
    // Every spark step from -8 to 8 in both directions, from a point near the corner too.
    for (const auto& [px, py] : {std::pair{20, 20}, std::pair{0, 1}}) {
        for (int sx = -8; sx <= 8; ++sx) {
            for (int sy = -8; sy <= 8; ++sy) {
                SoftCanvas white(40, 40), other(40, 40);
                DrawLine(white, px, py, px + sx, py + sy, kSparkPenWidth, kWhite);
                DrawLine(other, px, py, px + sx, py + sy, kSparkPenWidth, kPenColor);
                for (std::size_t i = 0; i < white.Pixels().size(); ++i)
                    ASSERT_EQ(white.Pixels()[i] == kWhite, other.Pixels()[i] == kPenColor) << sx << "," << sy;
                DrawLine(white, px, py, px + sx, py + sy, kSparkPenWidth, kBlack);
                SoftCanvas black(40, 40);
                ASSERT_TRUE(SameImage(white, black)) << sx << "," << sy;
            }
        }
    }
}

TEST(SoftCanvasBackBuffer, MapsWindowPositionsAndCopiesBackOnlyWhatItHolds) {
    SoftCanvas window(50, 40);
    Paint(window, Rect{0, 0, 50, 40}, kMarker);
    auto buffer = window.CreateBackBuffer(Rect{10, 20, 30, 35});
    ASSERT_TRUE(buffer);
    const auto& soft = static_cast<const SoftCanvas&>(*buffer);
    EXPECT_EQ(soft.Width(), 20);
    EXPECT_EQ(soft.Height(), 15);
    EXPECT_EQ(buffer->ClipBox(), (Rect{0, 0, 20, 15}));

    auto brush = buffer->CreateSolidBrush(kBrushColor);
    buffer->FillRect(Rect{0, 0, 100, 100}, *brush);  // the whole buffer, whatever the window position
    auto red = buffer->CreateSolidBrush(kPenColor);
    buffer->FillRect(Rect{12, 22, 14, 24}, *red);
    EXPECT_EQ(soft.Pixel(2, 2), kPenColor);
    EXPECT_EQ(soft.Pixel(3, 3), kPenColor);
    EXPECT_EQ(soft.Pixel(4, 4), kBrushColor);

    // A copy reaching beyond the buffer copies only the window positions the buffer holds.
    window.CopyFrom(*buffer, Rect{5, 30, 40, 39});
    for (std::int32_t y = 0; y < 40; ++y)
        for (std::int32_t x = 0; x < 50; ++x) {
            const bool copied = x >= 10 && x < 30 && y >= 30 && y < 35;
            ASSERT_EQ(window.Pixel(x, y), copied ? kBrushColor : kMarker) << x << "," << y;
        }
    window.CopyFrom(*buffer, Rect{12, 22, 14, 24});
    EXPECT_EQ(window.Pixel(12, 22), kPenColor);
    EXPECT_EQ(window.Pixel(13, 23), kPenColor);
    EXPECT_EQ(window.Pixel(11, 21), kMarker);
}

TEST(SoftCanvasFaults, FailOnRequestAndCountAttempts) {
    SoftCanvas window(10, 10);
    auto& shared = test::FaultsOf(window);
    shared.brushFaults.After(2);
    EXPECT_TRUE(window.CreateSolidBrush(kWhite));
    EXPECT_TRUE(window.CreateSolidBrush(kWhite));
    EXPECT_FALSE(window.CreateSolidBrush(kWhite));
    shared.penFaults.Only(1);
    EXPECT_TRUE(window.CreateSolidPen(1, kWhite));
    EXPECT_FALSE(window.CreateSolidPen(1, kWhite));
    EXPECT_TRUE(window.CreateSolidPen(1, kWhite));
    shared.backBufferFaults.Always();
    EXPECT_FALSE(window.CreateBackBuffer(Rect{0, 0, 5, 5}));
    shared.backBufferFaults.Never();
    auto buffer = window.CreateBackBuffer(Rect{0, 0, 5, 5});
    ASSERT_TRUE(buffer);
    // A buffer shares its window's faults.
    shared.penFaults.Always();
    EXPECT_FALSE(buffer->CreateSolidPen(1, kWhite));
    EXPECT_EQ(shared.brushFaults.Attempts(), 3);
    EXPECT_EQ(shared.penFaults.Attempts(), 4);
}

// ---------------------------------------------------------------------------------------------
// Frames drawn by the renderer

constexpr std::int32_t kW = 200, kH = 150;
constexpr Rect kArea{0, 0, kW, kH};

bool ExpectedWhiteOutline(std::int32_t game, std::int32_t index) {
    // Ball 0 in every scenario but Just Bounce; ball 1 in the three with a green ball.
    return game != JustBounce && (index == 0 || (game <= DecayVsHealth && index == 1));
}

Rect BallRect(const Ball& b) {
    return Rect{Trunc(b.worldX - b.radius), Trunc(b.worldY - b.radius), Trunc(b.worldX + b.radius),
                Trunc(b.worldY + b.radius)};
}

// The picture the window should show: black, every live ball in order, the sparks' current dashes.
SoftCanvas Expected(const Simulation& sim, std::int32_t w = kW, std::int32_t h = kH, int skipIndex = -1) {
    SoftCanvas c(w, h);
    const std::int32_t game = sim.settings.game;
    for (const auto& b : sim.world.balls) {
        if (b->index == skipIndex || (game >= DecayVsHealth && b->color == kBlack)) continue;
        auto pen = c.CreateSolidPen(1, ExpectedWhiteOutline(game, b->index) ? kWhite : b->color);
        auto brush = c.CreateSolidBrush(b->color);
        c.Ellipse(BallRect(*b), *pen, *brush);
    }
    auto white = c.CreateSolidPen(kSparkPenWidth, kWhite);
    sim.sparkRing.ForEachLive([&](const Spark* burst) {
        if (burst[0].life <= 1) return;
        for (std::int32_t i = 0; i < sim.sparkRing.sparksPerBurst; ++i)
            c.Line(burst[i].x, burst[i].y, burst[i].x + burst[i].stepX, burst[i].y + burst[i].stepY, *white);
    });
    return c;
}

struct RenderFixture : ::testing::Test {
    Simulation sim{4242};
    SoftCanvas window{kW, kH};

    void MakeWorld(std::int32_t game, double ballSize = 20.0, bool sparks = false) {
        test::PrepareEmptyWorld(sim, kArea, game, ballSize, sparks);
    }
    Ball& Add(double x, double y, ColorRef color = 0) {
        Ball& b = test::AddBall(sim, x, y);
        if (color != 0) b.color = color;
        b.Update();
        return b;
    }
    // A frame as the window's tick draws it, with the world standing still.
    void Tick(SoftCanvas& target) {
        for (auto& b : sim.world.balls) b->Update();
        Render(target);
    }
    void Tick() { Tick(window); }
    void Render(SoftCanvas& target) {
        RenderFrame(sim, target);
        const auto& shared = target.Shared();
        EXPECT_EQ(shared.liveBrushes, 0) << "a brush outlived the frame";
        EXPECT_EQ(shared.livePens, 0) << "a pen outlived the frame";
        EXPECT_EQ(shared.liveBackBuffers, 0) << "the back buffer outlived the frame";
    }
};

TEST_F(RenderFixture, EveryBallShowsAtItsPlaceWithTheScenariosOutline) {
    const bool kWhiteFor[6][3] = {
        {false, false, false}, {true, true, false}, {true, true, false},
        {true, true, false},   {true, false, false}, {true, false, false},
    };
    for (std::int32_t game = 0; game <= AllDecay; ++game) {
        Simulation s(100 + game);
        test::PrepareEmptyWorld(s, kArea, game, 20.0, false);
        SoftCanvas w(kW, kH);
        for (int i = 0; i < 3; ++i) test::AddBall(s, 35.0 + 62.0 * i, 40.5).Update();
        RenderFrame(s, w);
        for (const auto& b : s.world.balls) {
            const Rect r = BallRect(*b);
            ASSERT_EQ(b->bounds, r);
            const std::int32_t midY = r.top + r.Height() / 2, midX = r.left + r.Width() / 2;
            const ColorRef outline = kWhiteFor[game][b->index] ? kWhite : b->color;
            const std::string where = "game " + std::to_string(game) + " ball " + std::to_string(b->index);
            EXPECT_EQ(w.Pixel(midX, midY), b->color) << where;
            EXPECT_EQ(w.Pixel(r.left, midY), outline) << where;
            EXPECT_EQ(w.Pixel(r.right - 1, midY), outline) << where;
            EXPECT_EQ(w.Pixel(midX, r.top), outline) << where;
            EXPECT_EQ(w.Pixel(midX, r.bottom - 1), outline) << where;
            EXPECT_EQ(w.Pixel(r.left + 1, midY), b->color) << where;
            EXPECT_EQ(w.Pixel(r.left - 1, midY), kBlack) << where;
            EXPECT_EQ(w.Pixel(r.right, midY), kBlack) << where;
            EXPECT_EQ(w.Pixel(midX, r.bottom), kBlack) << where;
            EXPECT_EQ(w.Pixel(r.left, r.top), kBlack) << where << ": a circle has no corners";
        }
        EXPECT_TRUE(SameImage(w, Expected(s))) << "game " << game;
    }
}

TEST_F(RenderFixture, AMovedBallLeavesNoTrail) {
    struct Move {
        double dx, dy;
    };
    const Move moves[] = {{3, 0}, {0, -2}, {-1, 1}, {60, 40}, {-0.6, 0.3}, {0, 0}, {-30, 95}};
    for (const Move& m : moves) {
        Simulation s(7);
        test::PrepareEmptyWorld(s, kArea, GoodVsEvil, 18.0, false);
        SoftCanvas w(kW, kH);
        Ball& moving = test::AddBall(s, 60.3, 40.7);
        test::AddBall(s, 140.0, 100.0);
        for (int frame = 0; frame < 2; ++frame) {
            for (auto& b : s.world.balls) b->Update();
            RenderFrame(s, w);
        }
        moving.worldX += m.dx;
        moving.worldY += m.dy;
        for (auto& b : s.world.balls) b->Update();
        RenderFrame(s, w);
        EXPECT_TRUE(SameImage(w, Expected(s))) << "move " << m.dx << "," << m.dy;
    }
}

TEST_F(RenderFixture, ADeadBallVanishes) {
    MakeWorld(Decay);
    Add(40, 40);
    Add(100, 40);
    Ball& dying = Add(100, 100);
    Tick();
    ASSERT_NE(window.Pixel(100, 100), kBlack);
    dying.color = kBlack;  // what decay does to a ball with nothing left
    for (int frame = 0; frame < 3; ++frame) {
        Tick();
        EXPECT_TRUE(SameImage(window, Expected(sim, kW, kH, dying.index))) << "frame " << frame;
        EXPECT_EQ(window.Pixel(100, 100), kBlack);
    }
}

TEST_F(RenderFixture, APaintOfPartOfTheWindowShowsJustThatPart) {
    MakeWorld(GoodVsEvil);
    Add(120, 70);  // inside the first painted part
    Add(72, 60);   // across its left edge
    Add(30, 125);  // outside it
    Add(185, 20);  // across its top right corner
    Add(190, 140); // across the window's corner
    const SoftCanvas expected = Expected(sim);

    const Rect clips[] = {{70, 30, 180, 110}, {0, 0, 60, 150}, {150, 100, 260, 200}, {91, 64, 92, 65}, {50, 50, 50, 80}};
    for (const Rect& clip : clips) {
        SoftCanvas w(kW, kH);
        Paint(w, kArea, kMarker);
        Paint(w, clip, kBlack);  // the paint handler clears what it paints
        w.SetClip(clip);
        ASSERT_EQ(w.ClipBox(), IntersectRect(clip, kArea));
        Render(w);
        for (std::int32_t y = 0; y < kH; ++y)
            for (std::int32_t x = 0; x < kW; ++x) {
                const bool inClip = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                ASSERT_EQ(w.Pixel(x, y), inClip ? expected.Pixel(x, y) : kMarker)
                    << "clip " << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom << " at " << x
                    << "," << y;
            }
    }
}

TEST_F(RenderFixture, TheHigherNumberedBallIsOnTop) {
    MakeWorld(JustBounce);
    Ball& under = Add(80, 75, Rgb(200, 100, 100));
    Ball& over = Add(100, 75, Rgb(100, 200, 100));
    Tick();
    EXPECT_EQ(window.Pixel(95, 75), over.color);
    EXPECT_EQ(window.Pixel(85, 75), over.color);
    EXPECT_EQ(window.Pixel(70, 75), under.color);
    // Still on top when only the lower ball moves and its rectangle is the one copied.
    under.worldX += 4;
    Tick();
    EXPECT_EQ(window.Pixel(88, 75), over.color);
    EXPECT_TRUE(SameImage(window, Expected(sim)));
}

// Starts a burst at (px, py) with the given steps, as a collision would.
void StartBurst(SparkRing& ring, std::int32_t px, std::int32_t py, const std::vector<std::pair<int, int>>& steps) {
    Spark* burst = ring.AcquireBurst();
    ASSERT_NE(burst, nullptr);
    for (std::int32_t i = 0; i < ring.sparksPerBurst; ++i) {
        Spark& s = burst[i];
        s.stepX = steps[static_cast<std::size_t>(i)].first;
        s.stepY = steps[static_cast<std::size_t>(i)].second;
        s.x = s.prevX = px;
        s.y = s.prevY = py;
        s.life = kSparkLife;
    }
}

TEST_F(RenderFixture, SparkDashesMoveOutAndAreErasedOverTheSamePixels) {
    MakeWorld(JustBounce, 20.0, true);
    StartBurst(sim.sparkRing, 100, 75, {{5, -3}, {0, 0}, {-8, 8}, {7, 2}});
    StartBurst(sim.sparkRing, 2, 3, {{-8, -8}, {1, -1}, {8, 0}, {-3, 6}});  // leaves the window
    for (int frame = 0; frame <= 8; ++frame) {
        if (frame > 0) sim.sparkRing.AdvanceSparks();
        Render(window);
        // Only this frame's dashes: last frame's are gone to the pixel.
        SoftCanvas expected(kW, kH);
        if (frame <= 5) {
            for (const auto& [sx, sy] : {std::pair{5, -3}, std::pair{0, 0}, std::pair{-8, 8}, std::pair{7, 2}})
                DrawLine(expected, 100 + frame * sx, 75 + frame * sy, 100 + (frame + 1) * sx, 75 + (frame + 1) * sy,
                         2, kWhite);
            for (const auto& [sx, sy] : {std::pair{-8, -8}, std::pair{1, -1}, std::pair{8, 0}, std::pair{-3, 6}})
                DrawLine(expected, 2 + frame * sx, 3 + frame * sy, 2 + (frame + 1) * sx, 3 + (frame + 1) * sy, 2, kWhite);
        }
        EXPECT_TRUE(SameImage(window, expected)) << "frame " << frame;
        if (frame == 0) { EXPECT_EQ(window.Pixel(101, 75), kWhite); }
    }
    EXPECT_EQ(sim.sparkRing.LiveCount(), 0);
    EXPECT_TRUE(SameImage(window, SoftCanvas(kW, kH))) << "the window is not black again";
}

TEST_F(RenderFixture, SparksAcrossABallLeaveTheBallWhole) {
    MakeWorld(GoodVsEvil, 30.0, true);
    Add(100, 75);
    Add(40, 40);
    StartBurst(sim.sparkRing, 100, 75, {{6, 1}, {-4, -7}, {8, 8}, {-8, 3}});
    for (int frame = 0; frame <= 8; ++frame) {
        if (frame > 0) sim.sparkRing.AdvanceSparks();
        if (frame == 3) StartBurst(sim.sparkRing, 60, 50, {{3, 3}, {-2, 5}, {7, -6}, {0, -8}});
        Tick();
        EXPECT_TRUE(SameImage(window, Expected(sim))) << "frame " << frame;
    }
}

TEST_F(RenderFixture, TheDirectPathShowsTheSamePicture) {
    MakeWorld(DecayVsHealth);
    Add(50, 50);
    Add(65, 60);
    Add(150, 100);
    Ball& mover = Add(120, 40);
    SoftCanvas direct(kW, kH);
    test::FaultsOf(direct).backBufferFaults.Always();
    for (int frame = 0; frame < 3; ++frame) {
        Tick(window);
        Render(direct);
        EXPECT_TRUE(SameImage(direct, window)) << "still, frame " << frame;
    }
    EXPECT_TRUE(SameImage(window, Expected(sim)));
    EXPECT_EQ(test::FaultsOf(direct).backBufferFaults.Attempts(), 3);

    // A moving ball too: its last place is blacked out on the window itself.
    mover.worldX -= 9;
    mover.worldY += 5;
    Tick(window);
    Render(direct);
    EXPECT_TRUE(SameImage(direct, window));
    EXPECT_TRUE(SameImage(direct, Expected(sim)));
}

TEST_F(RenderFixture, WithoutTheBlackBrushNothingIsDrawn) {
    for (const bool buffered : {true, false}) {
        SoftCanvas w(kW, kH);
        Simulation s(5);
        test::PrepareEmptyWorld(s, kArea, GoodVsEvil, 20.0, true);
        Ball& b = test::AddBall(s, 60, 60);
        test::AddBall(s, 130, 90);
        StartBurst(s.sparkRing, 100, 20, {{3, 3}, {-3, 3}, {8, 0}, {0, 8}});
        for (auto& ball : s.world.balls) ball->Update();
        RenderFrame(s, w);
        const std::vector<ColorRef> before = w.Pixels();

        if (!buffered) test::FaultsOf(w).backBufferFaults.Always();
        b.worldX += 10;
        b.Update();
        s.sparkRing.AdvanceSparks();
        test::FaultsOf(w).brushFaults.Only(0);
        const int pensBefore = test::FaultsOf(w).penFaults.Attempts();
        RenderFrame(s, w);
        EXPECT_EQ(w.Pixels(), before) << (buffered ? "buffered" : "direct");
        EXPECT_EQ(test::FaultsOf(w).penFaults.Attempts(), pensBefore) << "sparks were drawn";
        EXPECT_EQ(w.Shared().liveBackBuffers, 0);
    }
}

TEST_F(RenderFixture, AFailingPenDropsJustThatBallForOneFrame) {
    // Pens are made in this order: buffered, one per ball, then erase and draw of the sparks;
    // direct, the erase pen first.
    for (const bool buffered : {true, false}) {
        SoftCanvas w(kW, kH);
        if (!buffered) test::FaultsOf(w).backBufferFaults.Always();
        Simulation s(6);
        test::PrepareEmptyWorld(s, kArea, SoloGoodVsEvil, 20.0, false);
        for (int i = 0; i < 3; ++i) test::AddBall(s, 40.0 + 55.0 * i, 70.0);
        for (auto& ball : s.world.balls) ball->Update();
        RenderFrame(s, w);
        ASSERT_TRUE(SameImage(w, Expected(s)));

        test::FaultsOf(w).penFaults.Only(buffered ? 1 : 2);
        for (auto& ball : s.world.balls) ball->Update();
        RenderFrame(s, w);
        EXPECT_TRUE(SameImage(w, Expected(s, kW, kH, 1))) << (buffered ? "buffered" : "direct");

        for (auto& ball : s.world.balls) ball->Update();
        RenderFrame(s, w);
        EXPECT_TRUE(SameImage(w, Expected(s))) << "ball 1 is back, " << (buffered ? "buffered" : "direct");
    }
}

// A whole scene run by the window's tick: after every frame the window shows exactly the balls and
// the sparks' current dashes on black, with the back buffer always there or missing every third frame.
TEST(RenderScene, TheWindowShowsTheWorldAfterEveryFrame) {
    for (const bool flakyBuffer : {false, true}) {
        constexpr std::int32_t w = 240, h = 180;
        const Rect area{0, 0, w, h};
        MemoryProfile profile;
        WriteSetting(profile, Setting::NumBalls, 28);
        WriteSetting(profile, Setting::BallSize, 12);
        WriteSetting(profile, Setting::Velocity, 14);
        WriteSetting(profile, Setting::Game, GoodVsEvil);
        WriteSetting(profile, Setting::Sparks, 1);
        WriteSetting(profile, Setting::BallSizeSel, 1);
        Simulation sim(31337);
        SetupWorld(sim, profile, area, false);
        SoftCanvas window(w, h);
        int framesWithSparks = 0;
        for (int frame = 1; frame <= 240; ++frame) {
            if (flakyBuffer) {
                if (frame % 3 == 0) test::FaultsOf(window).backBufferFaults.Always();
                else test::FaultsOf(window).backBufferFaults.Never();
            }
            ASSERT_FALSE(TickFrame(sim, profile, area, &window));
            if (sim.sparkRing.LiveCount() > 0) ++framesWithSparks;
            ASSERT_TRUE(SameImage(window, Expected(sim, w, h))) << "frame " << frame << (flakyBuffer ? " (flaky buffer)" : "");
        }
        EXPECT_GT(framesWithSparks, 0) << "the scene threw no sparks; the test saw none drawn";
        EXPECT_EQ(window.Shared().liveBrushes + window.Shared().livePens + window.Shared().liveBackBuffers, 0);
    }
}

// The simulator's pictures read back as the window image, colour for colour.
TEST(SimPicture, AWrittenPngReadsBackAsTheWindow) {
    SoftCanvas window(37, 23);
    Paint(window, Rect{3, 2, 20, 9}, Rgb(200, 0, 0));
    Paint(window, Rect{10, 12, 36, 22}, Rgb(0, 220, 0));
    DrawLine(window, 0, 22, 30, 0, 2, kWhite);
    Paint(window, Rect{30, 1, 33, 4}, Rgb(1, 2, 3));
    const std::string path = ::testing::TempDir() + "vellora_render_test.png";
    std::string error;
    ASSERT_TRUE(simtool::WritePng(window, path, error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    EXPECT_EQ(image.width, 37u);
    EXPECT_EQ(image.height, 23u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "an RGB picture has no alpha";
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    for (std::int32_t y = 0; y < 23; ++y)
        for (std::int32_t x = 0; x < 37; ++x) {
            const std::size_t i = 3 * static_cast<std::size_t>(y * 37 + x);
            ASSERT_EQ(Rgb(rgb[i], rgb[i + 1], rgb[i + 2]), window.Pixel(x, y)) << x << "," << y;
        }
    std::remove(path.c_str());

    EXPECT_FALSE(simtool::WritePng(window, ::testing::TempDir() + "no/such/dir/x.png", error));
    EXPECT_NE(error.find("no/such/dir/x.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace vellora
