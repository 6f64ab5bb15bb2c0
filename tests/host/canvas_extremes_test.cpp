// The software canvas with rectangles and end points anywhere in the 32-bit range: buffers it
// cannot hold fail as a bitmap the system cannot make, and lines are clipped without walking the
// points outside, giving exactly the pixels of Bresenham's walk from the start.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "saver/render/soft_canvas.h"
#include "saver/sim/random.h"
#include "tests/common/walked_line.h"

namespace vellora {
namespace {

std::vector<bool> Drawn(const SoftCanvas& canvas) {
    std::vector<bool> lit;
    for (ColorRef c : canvas.Pixels()) lit.push_back(c == kWhite);
    return lit;
}

void DrawLine(SoftCanvas& canvas, int x0, int y0, int x1, int y1, int width) {
    auto pen = canvas.CreateSolidPen(width, kWhite);
    canvas.Line(x0, y0, x1, y1, *pen);
}

TEST(ClippedLine, GivesTheWalksPixelsForEveryDirectionWidthAndClip) {
    constexpr int kW = 40, kH = 30;
    const Rect clips[] = {Rect{0, 0, kW, kH}, Rect{5, 7, 31, 22}, Rect{39, 0, 40, 30}, Rect{-9, -9, 3, 2}};
    Random dice(12345);
    for (const Rect& clip : clips) {
        for (int i = 0; i < 3000; ++i) {
            // End points from well outside to inside, so that lines enter, cross and leave the clip.
            auto coord = [&](int span) { return dice.Next() % (3 * span) - span; };
            const int x0 = coord(kW), y0 = coord(kH), x1 = coord(kW), y1 = coord(kH);
            const int w = 1 + dice.Next() % 4;
            SoftCanvas canvas(kW, kH);
            canvas.SetClip(clip);
            DrawLine(canvas, x0, y0, x1, y1, w);
            ASSERT_EQ(Drawn(canvas), test::WalkedLine(x0, y0, x1, y1, w, canvas.ClipBox(), kW, kH))
                << x0 << "," << y0 << " -> " << x1 << "," << y1 << " width " << w;
        }
    }
}

TEST(ClippedLine, EndPointsFarOutsideDrawOnlyWhatCrossesTheImage) {
    // Once walked point by point: seconds for a line across +-1e9.
    struct Case {
        int x0, y0, x1, y1, width;
        std::vector<std::pair<int, int>> lit;  // every lit pixel of a 4 x 3 image
    };
    const Case cases[] = {
        {-1000000000, 1, 1000000000, 1, 1, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {-1000000000, -1000000000, 1000000000, 1000000000, 1, {{0, 0}, {1, 1}, {2, 2}}},
        {2, INT_MAX, 2, INT_MIN, 1, {{2, 0}, {2, 1}, {2, 2}}},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, {{0, 0}, {1, 1}, {2, 2}}},
        {INT_MAX, 0, INT_MIN, 0, 2, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {-1000000000, 5, 1000000000, 6, 1, {}},  // passes below the image
        {0, 0, 0, 0, 3, {}},                     // one point, and the end point is excluded
    };
    for (const Case& c : cases) {
        SoftCanvas canvas(4, 3);
        DrawLine(canvas, c.x0, c.y0, c.x1, c.y1, c.width);
        std::vector<std::pair<int, int>> lit;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                if (canvas.Pixel(x, y) == kWhite) lit.emplace_back(x, y);
        std::vector<std::pair<int, int>> want = c.lit;
        std::sort(want.begin(), want.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
        EXPECT_EQ(lit, want) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
    }
}

TEST(BackBuffer, SizesBeyondWhatTheCanvasHoldsFailInsteadOfOverflowing) {
    SoftCanvas window(64, 48);
    const Rect refused[] = {
        Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX},  // once a product that overflowed 64 bits
        Rect{0, 0, 65536, 65536},
        Rect{0, 0, INT_MAX, 2},
        Rect{-8193, 0, 8192, 8193},
    };
    for (const Rect& r : refused) EXPECT_EQ(window.CreateBackBuffer(r), nullptr) << r.left << "," << r.right;
    EXPECT_EQ(window.Shared().liveBackBuffers, 0);
    // Empty and inverted rectangles give an empty buffer, as before.
    for (const Rect& r : {Rect{5, 5, 5, 5}, Rect{10, 10, 0, 0}, Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}}) {
        auto buffer = window.CreateBackBuffer(r);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(static_cast<SoftCanvas&>(*buffer).Pixels().size(), 0u);
    }
    EXPECT_TRUE(SoftCanvas::CanHold(8192, 8192));
    EXPECT_FALSE(SoftCanvas::CanHold(8192, 8193));
    EXPECT_FALSE(SoftCanvas::CanHold(INT64_MAX, 2));
    EXPECT_FALSE(SoftCanvas::CanHold(-1, 5));
}

TEST(WindowImage, SizesBeyondWhatTheCanvasHoldsAreRefused) {
    EXPECT_EQ(SoftCanvas::Create(65536, 65536), nullptr);
    EXPECT_EQ(SoftCanvas::Create(INT_MAX, INT_MAX), nullptr);
    auto small = SoftCanvas::Create(20, 10);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Pixels().size(), 200u);
    // Made directly, such a window holds no pixels and every drawing is clipped away.
    SoftCanvas none(65536, 65536);
    EXPECT_EQ(none.Pixels().size(), 0u);
    EXPECT_TRUE(IsRectEmpty(none.ClipBox()));
    DrawLine(none, 0, 0, 100, 100, 2);
}

}  // namespace
}  // namespace vellora
