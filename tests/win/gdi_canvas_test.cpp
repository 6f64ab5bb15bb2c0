// GdiCanvas on memory bitmaps and on a real window: edges, outlines, clip box, back buffer
// mapping, and a frame of the renderer read back from the screen.
#include "saver/app/gdi_canvas.h"

#include <gtest/gtest.h>

#include "saver/config/settings.h"
#include "saver/render/renderer.h"
#include "saver/sim/sim_state.h"
#include "saver/sim/world_setup.h"
#include "test_support.h"

using vellora::ColorRef;
using vellora::Rect;
using vellora::Rgb;
using vellora::win::GdiCanvas;

namespace {

// A 32-bit DIB section selected into a memory context, cleared to black.
class Bitmap {
public:
    Bitmap(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Bitmap() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    ColorRef At(int x, int y) const {
        GdiFlush();
        const std::uint32_t bgrx = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
        return Rgb((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

constexpr ColorRef kRed = Rgb(255, 0, 0);
constexpr ColorRef kBlue = Rgb(0, 0, 255);
constexpr ColorRef kGreen = Rgb(0, 255, 0);

}  // namespace

TEST(GdiCanvas, FilledShapesAndLinesExcludeTheirFarEdges) {
    Bitmap bitmap(64, 64);
    GdiCanvas canvas(bitmap.Dc());
    auto red = canvas.CreateSolidBrush(kRed);
    ASSERT_TRUE(red);
    canvas.FillRect(Rect{10, 10, 20, 15}, *red);
    EXPECT_EQ(bitmap.At(10, 10), kRed);
    EXPECT_EQ(bitmap.At(19, 14), kRed);
    EXPECT_EQ(bitmap.At(20, 14), vellora::kBlack);
    EXPECT_EQ(bitmap.At(19, 15), vellora::kBlack);

    auto pen = canvas.CreateSolidPen(1, kGreen);
    ASSERT_TRUE(pen);
    canvas.Line(0, 40, 10, 40, *pen);
    EXPECT_EQ(bitmap.At(0, 40), kGreen);
    EXPECT_EQ(bitmap.At(9, 40), kGreen);
    EXPECT_EQ(bitmap.At(10, 40), vellora::kBlack);

    auto blue = canvas.CreateSolidBrush(kBlue);
    canvas.Ellipse(Rect{30, 30, 51, 51}, *pen, *blue);
    EXPECT_EQ(bitmap.At(40, 40), kBlue) << "filled with the brush";
    EXPECT_EQ(bitmap.At(30, 40), kGreen) << "outlined with the pen";
    EXPECT_EQ(bitmap.At(51, 40), vellora::kBlack);
    EXPECT_EQ(bitmap.At(30, 30), vellora::kBlack) << "a corner of the box is outside the circle";
    // The last pen and brush stay selected for the next call, and each goes out of the context
    // as it is deleted: then the context holds its stock objects again.
    EXPECT_NE(GetCurrentObject(bitmap.Dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_NE(GetCurrentObject(bitmap.Dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    blue.reset();
    pen.reset();
    red.reset();
    EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

TEST(GdiCanvas, ClipBoxIsInDevicePixels) {
    Bitmap bitmap(100, 80);
    GdiCanvas canvas(bitmap.Dc());
    EXPECT_EQ(canvas.ClipBox(), (Rect{0, 0, 100, 80}));
    HRGN region = CreateRectRgn(20, 10, 60, 50);  // device coordinates
    SelectClipRgn(bitmap.Dc(), region);
    DeleteObject(region);
    SetViewportOrgEx(bitmap.Dc(), 5, 7, nullptr);  // logical = device - (5, 7)
    EXPECT_EQ(canvas.ClipBox(), (Rect{20, 10, 60, 50}));
    canvas.UsePlainMapping();
    POINT origin{};
    GetViewportOrgEx(bitmap.Dc(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetMapMode(bitmap.Dc()), MM_TEXT);
}

TEST(GdiCanvas, BackBufferTakesWindowCoordinatesAndCopiesToTheSamePlace) {
    Bitmap bitmap(100, 80);
    GdiCanvas canvas(bitmap.Dc());
    const Rect area{30, 20, 90, 70};
    auto buffer = canvas.CreateBackBuffer(area);
    ASSERT_TRUE(buffer);
    auto black = buffer->CreateSolidBrush(vellora::kBlack);
    auto red = buffer->CreateSolidBrush(kRed);
    buffer->FillRect(area, *black);
    buffer->FillRect(Rect{40, 30, 50, 40}, *red);  // window coordinates
    canvas.CopyFrom(*buffer, Rect{35, 25, 55, 45});
    EXPECT_EQ(bitmap.At(40, 30), kRed);
    EXPECT_EQ(bitmap.At(49, 39), kRed);
    EXPECT_EQ(bitmap.At(50, 39), vellora::kBlack);
    EXPECT_EQ(bitmap.At(39, 30), vellora::kBlack);
    // Outside the copied rectangle the target is untouched.
    auto blue = canvas.CreateSolidBrush(kBlue);
    canvas.FillRect(Rect{60, 50, 70, 60}, *blue);
    buffer->FillRect(Rect{60, 50, 70, 60}, *red);
    canvas.CopyFrom(*buffer, Rect{35, 25, 55, 45});
    EXPECT_EQ(bitmap.At(65, 55), kBlue);
}

// The renderer moves one small buffer from dirty rectangle to dirty rectangle.
TEST(GdiCanvas, ABackBufferMovesToAnotherRectangle) {
    Bitmap bitmap(100, 80);
    GdiCanvas canvas(bitmap.Dc());
    auto buffer = canvas.CreateBackBuffer(Rect{0, 0, 20, 20});
    ASSERT_TRUE(buffer);
    auto red = buffer->CreateSolidBrush(kRed);
    buffer->MapBackBuffer(60, 50);
    buffer->FillRect(Rect{62, 52, 66, 56}, *red);
    canvas.CopyFrom(*buffer, Rect{60, 50, 80, 70});
    EXPECT_EQ(bitmap.At(62, 52), kRed);
    EXPECT_EQ(bitmap.At(65, 55), kRed);
    EXPECT_EQ(bitmap.At(66, 55), vellora::kBlack);
}

TEST(GdiCanvas, AFrameOfTheWorldShowsOnTheScreen) {
    vtest::TestWindow window(nullptr, WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 240});
    vtest::PumpFor(50);
    vellora::Simulation sim(12345);
    vellora::MemoryProfile profile;
    vellora::WriteSetting(profile, vellora::Setting::NumBalls, 6);
    vellora::WriteSetting(profile, vellora::Setting::BallSize, 20);
    ASSERT_TRUE(vellora::SetupWorld(sim, profile, Rect{0, 0, 320, 240}, false));
    {
        HDC dc = GetDC(window.Handle());
        GdiCanvas canvas(dc);
        auto black = canvas.CreateSolidBrush(vellora::kBlack);
        canvas.FillRect(Rect{0, 0, 320, 240}, *black);
        vellora::RenderFrame(sim, canvas);
        ReleaseDC(window.Handle(), dc);
    }
    const vtest::Pixels pixels = vtest::ReadClientPixels(window.Handle());
    ASSERT_EQ(pixels.width, 320);
    int checked = 0;
    const auto& balls = sim.world.balls;
    for (size_t i = 0; i < balls.size(); ++i) {
        const int x = static_cast<int>(balls[i]->worldX);
        const int y = static_cast<int>(balls[i]->worldY);
        // Only a ball whose centre no later ball covers shows its own colour there.
        bool covered = false;
        for (size_t j = i + 1; j < balls.size(); ++j) {
            const double dx = balls[j]->worldX - x, dy = balls[j]->worldY - y;
            if (dx * dx + dy * dy <= (balls[j]->radius + 2) * (balls[j]->radius + 2)) covered = true;
        }
        if (covered || x < 0 || y < 0 || x >= 320 || y >= 240) continue;
        EXPECT_EQ(pixels.At(x, y), balls[i]->color) << "ball " << i << " at " << x << "," << y;
        ++checked;
    }
    EXPECT_GT(checked, 0);
    std::printf("[ frame  ] %d of %zu ball centres checked, %d lit pixels\n", checked, balls.size(),
                pixels.CountNonBlack());
    vellora::TeardownWorld(sim);
}
