// The Canvas on a GDI device context: what the renderer and the sparks draw with on Windows.
#pragma once

#include <memory>

#include "win/framework.h"
#include "saver/render/canvas.h"

namespace vellora::win {

class GdiCanvas : public Canvas {
public:
    // Draws on dc, which stays the caller's: the canvas never releases it.
    explicit GdiCanvas(HDC dc) : dc_(dc) {}
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC Dc() const { return dc_; }

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

private:
    HDC dc_;
};

}  // namespace vellora::win
