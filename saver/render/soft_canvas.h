// A software raster behind the Canvas interface: the image of a window (or of one of its back
// buffers) as one 0x00BBGGRR value per pixel. Tests draw frames on it and look at the pixels; the
// simulator writes it out as pictures. It follows the platform's drawing rules: filled shapes
// exclude their right and bottom edges, lines exclude their end point, an empty or inverted
// rectangle draws nothing, and all drawing is clipped to the clip rectangle and the image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "saver/render/canvas.h"

namespace vellora {

enum class SoftObject { BackBuffer, Brush, Pen };

// What a window and all the back buffers made from it share: the count of drawing objects still
// alive (so a test can see that nothing outlives a frame), and a question asked before each
// creation, through which tests make creations fail to exercise the fallbacks of the code that draws.
struct SoftCanvasShared {
    // Null lets every creation succeed.
    std::function<bool(SoftObject)> allowCreation;
    int liveBrushes = 0;
    int livePens = 0;
    int liveBackBuffers = 0;
    int plainMappingCalls = 0;

    bool Allow(SoftObject kind);
};

class SoftCanvas : public Canvas {
public:
    // The most pixels an image or back buffer holds (256 MB of them).
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;
    // Whether an image of width x height pixels stays within kMaxPixels.
    static bool CanHold(std::int64_t width, std::int64_t height);

    // A window image of width x height pixels, all black, with no clip beyond the image. A size
    // it cannot hold gives an image of no pixels, on which every drawing is clipped away.
    SoftCanvas(std::int32_t width, std::int32_t height);
    // The same, or null when the image is more than it holds or memory cannot be had.
    static std::unique_ptr<SoftCanvas> Create(std::int32_t width, std::int32_t height);
    ~SoftCanvas() override;
    SoftCanvas(const SoftCanvas&) = delete;
    SoftCanvas& operator=(const SoftCanvas&) = delete;
    SoftCanvas(SoftCanvas&&) = default;
    SoftCanvas& operator=(SoftCanvas&&) = delete;

    // Restricts drawing to clip (intersected with the image), as a paint of part of the window does.
    void SetClip(const Rect& clip);
    void ClearClip();

    Rect ClipBox() const override;
    std::unique_ptr<Canvas> CreateBackBuffer(const Rect& area) override;
    void MapBackBuffer(std::int32_t left, std::int32_t top) override;
    void UsePlainMapping() override;
    std::unique_ptr<Brush> CreateSolidBrush(ColorRef color) override;
    std::unique_ptr<Pen> CreateSolidPen(int width, ColorRef color) override;
    void FillRect(const Rect& r, const Brush& brush) override;
    void Ellipse(const Rect& r, const Pen& pen, const Brush& brush) override;
    void Line(int x0, int y0, int x1, int y1, const Pen& pen) override;
    void CopyFrom(const Canvas& backBuffer, const Rect& r) override;

    // Device pixels of this image (for a back buffer: buffer pixels, not window positions).
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    ColorRef Pixel(std::int32_t x, std::int32_t y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    }
    void SetPixel(std::int32_t x, std::int32_t y, ColorRef c) {
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = c;
    }
    // Row by row, top to bottom, Width() values a row.
    const std::vector<ColorRef>& Pixels() const { return pixels_; }
    void Clear(ColorRef color = kBlack);

    // Object counts and the creation question, shared with every back buffer made from this canvas.
    SoftCanvasShared& Shared() { return *shared_; }
    const SoftCanvasShared& Shared() const { return *shared_; }

private:
    // A back buffer: logical (x, y) lands on pixel (x - originX, y - originY).
    SoftCanvas(std::int32_t width, std::int32_t height, std::int32_t originX, std::int32_t originY,
               std::shared_ptr<SoftCanvasShared> shared);

    // The drawable pixels: the clip (if any) within the image, in device pixels.
    Rect DeviceClip() const;
    // Fills device rectangle r, already clipped, with c.
    void FillDevice(const Rect& r, ColorRef c);
    // The 64-bit logical-to-device shift, so that extreme coordinates cannot overflow.
    std::int64_t ToDeviceX(std::int64_t x) const { return x - originX_; }
    std::int64_t ToDeviceY(std::int64_t y) const { return y - originY_; }
    // r in logical units, moved to device pixels and clipped; empty when nothing remains.
    Rect ClipLogical(const Rect& r) const;

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t originX_ = 0;
    std::int32_t originY_ = 0;
    bool hasClip_ = false;
    Rect clip_;
    bool isBackBuffer_ = false;
    std::vector<ColorRef> pixels_;
    std::shared_ptr<SoftCanvasShared> shared_;
};

}  // namespace vellora
