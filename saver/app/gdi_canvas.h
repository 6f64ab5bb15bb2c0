// The Canvas on a GDI device context: what the renderer and the sparks draw with on Windows.
#pragma once

#include <memory>

#include "win/framework.h"
#include "saver/render/canvas.h"

namespace vellora::win {

// A pen or brush stays selected in the context from one drawing call to the next and is selected
// out only when another takes its place or when it is deleted, so that drawing many shapes with the
// same objects does not select them in and out each time. Its pens and brushes must not outlive it.
class GdiCanvas : public Canvas {
public:
    // Draws on dc, which stays the caller's: the canvas never releases it, and hands it back with
    // the pen and brush it had.
    explicit GdiCanvas(HDC dc) : dc_(dc) {}
    ~GdiCanvas() override;
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
    enum Slot { kPen, kBrush, kSlots };
    // A pen or brush made by this canvas (gdi_canvas.cpp).
    template <typename Interface, typename Handle, int kSlot>
    class CanvasObject;
    using CanvasPen = CanvasObject<Pen, HPEN, kPen>;
    using CanvasBrush = CanvasObject<Brush, HBRUSH, kBrush>;

    // Selects one of our objects unless it is there already; false when it cannot be selected.
    bool Select(Slot slot, HGDIOBJ object);
    // Before one of our objects goes: the context gets its own object back if it holds this one.
    void Deselect(Slot slot, HGDIOBJ object);

    HDC dc_;
    HGDIOBJ selected_[kSlots] = {};  // ours, in the context now
    HGDIOBJ original_[kSlots] = {};  // the context's own, replaced by the first of ours
};

}  // namespace vellora::win
