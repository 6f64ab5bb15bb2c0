#include "saver/render/soft_canvas.h"

#include <algorithm>
#include <cmath>

namespace vellora {

namespace {

// Rectangles in 64 bits, so that shifting extreme coordinates by an origin cannot overflow.
struct Box {
    std::int64_t left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
};

Box Intersect(const Box& a, const Box& b) {
    return Box{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

// The largest back buffer we hand out; a bigger one fails like a bitmap the system cannot make.
constexpr std::int64_t kMaxBufferPixels = std::int64_t{1} << 26;

class SoftBrush : public Brush {
public:
    SoftBrush(ColorRef c, std::shared_ptr<SoftCanvasShared> shared) : color(c), shared_(std::move(shared)) {
        ++shared_->liveBrushes;
    }
    ~SoftBrush() override { --shared_->liveBrushes; }
    const ColorRef color;

private:
    std::shared_ptr<SoftCanvasShared> shared_;
};

class SoftPen : public Pen {
public:
    SoftPen(int w, ColorRef c, std::shared_ptr<SoftCanvasShared> shared)
        : width(w < 1 ? 1 : w), color(c), shared_(std::move(shared)) {
        ++shared_->livePens;
    }
    ~SoftPen() override { --shared_->livePens; }
    const int width;
    const ColorRef color;

private:
    std::shared_ptr<SoftCanvasShared> shared_;
};

// The pixels of one row of the ellipse inscribed in [left, right) x [top, bottom), as the range
// [first, last] of columns (empty when first > last).
//
// The rule: pixel (x, y) belongs to the ellipse when its centre (x + 0.5, y + 0.5) lies inside or
// on the ellipse. With doubled offsets from the centre, dx = 2x + 1 - left - right and
// dy = 2y + 1 - top - bottom, and the doubled semi-axes w = right - left, h = bottom - top, that is
// dx^2 h^2 + dy^2 w^2 <= w^2 h^2. The test only sees dx^2 and dy^2, so the shape is exactly
// symmetric left-right and top-bottom; every pixel lies inside the rectangle, because the pixels
// just outside it have |dx| > w or |dy| > h.
class EllipseRows {
public:
    EllipseRows(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : left_(left), top_(top), right_(right), bottom_(bottom),
          w_(static_cast<double>(right - left)), h_(static_cast<double>(bottom - top)) {}

    struct Span {
        std::int64_t first, last;
        bool Empty() const { return first > last; }
    };

    Span Row(std::int64_t y) const {
        const double dy = static_cast<double>(2 * y + 1 - top_ - bottom_);
        const std::int64_t mid = left_ + (right_ - left_ - 1) / 2;  // leftmost centre column
        if (!Inside(mid, dy)) return Span{1, 0};
        // A first guess from the ellipse equation, then the exact test decides.
        const double q = 1.0 - (dy * dy) / (h_ * h_);
        const double reach = w_ * std::sqrt(q > 0.0 ? q : 0.0);
        double guess = std::ceil((static_cast<double>(left_ + right_ - 1) - reach) / 2.0);
        guess = std::min(std::max(guess, static_cast<double>(left_)), static_cast<double>(mid));
        std::int64_t first = static_cast<std::int64_t>(guess);
        while (first > left_ && Inside(first - 1, dy)) --first;
        while (first < mid && !Inside(first, dy)) ++first;
        return Span{first, left_ + right_ - 1 - first};
    }

private:
    bool Inside(std::int64_t x, double dy) const {
        const double dx = static_cast<double>(2 * x + 1 - left_ - right_);
        return dx * dx * h_ * h_ + dy * dy * w_ * w_ <= w_ * w_ * h_ * h_;
    }

    std::int64_t left_, top_, right_, bottom_;
    double w_, h_;
};

}  // namespace

bool SoftCanvasShared::Allow(SoftObject kind) { return !allowCreation || allowCreation(kind); }

SoftCanvas::SoftCanvas(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kBlack),
      shared_(std::make_shared<SoftCanvasShared>()) {}

SoftCanvas::SoftCanvas(std::int32_t width, std::int32_t height, std::int32_t originX, std::int32_t originY,
                       std::shared_ptr<SoftCanvasShared> shared)
    : width_(width), height_(height), originX_(originX), originY_(originY), isBackBuffer_(true),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kBlack),
      shared_(std::move(shared)) {
    ++shared_->liveBackBuffers;
}

SoftCanvas::~SoftCanvas() {
    if (isBackBuffer_ && shared_) --shared_->liveBackBuffers;  // a moved-from canvas has none
}

void SoftCanvas::SetClip(const Rect& clip) {
    hasClip_ = true;
    clip_ = clip;
}

void SoftCanvas::ClearClip() { hasClip_ = false; }

void SoftCanvas::Clear(ColorRef color) { std::fill(pixels_.begin(), pixels_.end(), color); }

Rect SoftCanvas::DeviceClip() const {
    const Rect image{0, 0, width_, height_};
    return hasClip_ ? IntersectRect(clip_, image) : image;
}

Rect SoftCanvas::ClipBox() const { return DeviceClip(); }

Rect SoftCanvas::ClipLogical(const Rect& r) const {
    if (IsRectEmpty(r)) return Rect{};
    const Rect c = DeviceClip();
    const Box dev = Intersect(Box{ToDeviceX(r.left), ToDeviceY(r.top), ToDeviceX(r.right), ToDeviceY(r.bottom)},
                              Box{c.left, c.top, c.right, c.bottom});
    if (dev.Empty()) return Rect{};
    return Rect{static_cast<std::int32_t>(dev.left), static_cast<std::int32_t>(dev.top),
                static_cast<std::int32_t>(dev.right), static_cast<std::int32_t>(dev.bottom)};
}

void SoftCanvas::FillDevice(const Rect& r, ColorRef c) {
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        ColorRef* row = &pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
        std::fill(row + r.left, row + r.right, c);
    }
}

std::unique_ptr<Canvas> SoftCanvas::CreateBackBuffer(const Rect& area) {
    if (!shared_->Allow(SoftObject::BackBuffer)) return nullptr;
    const std::int64_t w = std::max<std::int64_t>(0, std::int64_t{area.right} - area.left);
    const std::int64_t h = std::max<std::int64_t>(0, std::int64_t{area.bottom} - area.top);
    if (w * h > kMaxBufferPixels) return nullptr;
    return std::unique_ptr<Canvas>(new SoftCanvas(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h),
                                                  area.left, area.top, shared_));
}

void SoftCanvas::MapBackBuffer(std::int32_t left, std::int32_t top) {
    originX_ = left;
    originY_ = top;
}

void SoftCanvas::UsePlainMapping() {
    originX_ = 0;
    originY_ = 0;
    ++shared_->plainMappingCalls;
}

std::unique_ptr<Brush> SoftCanvas::CreateSolidBrush(ColorRef color) {
    if (!shared_->Allow(SoftObject::Brush)) return nullptr;
    return std::make_unique<SoftBrush>(color, shared_);
}

std::unique_ptr<Pen> SoftCanvas::CreateSolidPen(int width, ColorRef color) {
    if (!shared_->Allow(SoftObject::Pen)) return nullptr;
    return std::make_unique<SoftPen>(width, color, shared_);
}

void SoftCanvas::FillRect(const Rect& r, const Brush& brush) {
    const auto* b = dynamic_cast<const SoftBrush*>(&brush);
    if (!b) return;
    const Rect d = ClipLogical(r);
    if (!IsRectEmpty(d)) FillDevice(d, b->color);
}

// The outline is the ellipse's own pixels that have a left, right, upper or lower neighbour
// outside it: a closed 8-connected ring exactly one pixel wide, which no 4-connected path from the
// interior to the outside can cross. The pen's width does not widen it; the renderer only ever
// outlines with 1-pixel pens.
void SoftCanvas::Ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
    const auto* p = dynamic_cast<const SoftPen*>(&pen);
    const auto* b = dynamic_cast<const SoftBrush*>(&brush);
    if (!p || !b || IsRectEmpty(r)) return;
    const Rect d = ClipLogical(r);
    if (IsRectEmpty(d)) return;

    const EllipseRows rows(r.left, r.top, r.right, r.bottom);
    for (std::int32_t dy = d.top; dy < d.bottom; ++dy) {
        const std::int64_t y = std::int64_t{dy} + originY_;
        const auto span = rows.Row(y);
        if (span.Empty()) continue;
        const auto above = rows.Row(y - 1);
        const auto below = rows.Row(y + 1);
        // Interior: strictly inside this row's span and covered by both neighbouring rows.
        std::int64_t inFirst = span.first + 1, inLast = span.last - 1;
        if (above.Empty() || below.Empty()) {
            inFirst = 1;
            inLast = 0;
        } else {
            inFirst = std::max({inFirst, above.first, below.first});
            inLast = std::min({inLast, above.last, below.last});
        }
        ColorRef* row = &pixels_[static_cast<std::size_t>(dy) * static_cast<std::size_t>(width_)];
        const std::int64_t lo = std::max<std::int64_t>(ToDeviceX(span.first), d.left);
        const std::int64_t hi = std::min<std::int64_t>(ToDeviceX(span.last), std::int64_t{d.right} - 1);
        for (std::int64_t x = lo; x <= hi; ++x) {
            const std::int64_t lx = x + originX_;
            row[x] = (lx >= inFirst && lx <= inLast) ? b->color : p->color;
        }
    }
}

// Bresenham's line from the start up to, not including, the end point; each point stamps a square
// of the pen's width whose top-left corner lies (width - 1) / 2 pixels up and left of the point.
// The pixels depend only on the end points and the width, never on the colour, so a black line
// over the same end points covers a white one exactly.
void SoftCanvas::Line(int x0, int y0, int x1, int y1, const Pen& pen) {
    const auto* p = dynamic_cast<const SoftPen*>(&pen);
    if (!p) return;
    const std::int64_t w = p->width;
    const std::int64_t back = (w - 1) / 2;
    const Rect c = DeviceClip();
    if (IsRectEmpty(c)) return;
    // Logical area whose stamps can reach the drawable pixels; a line that misses it draws nothing.
    const Box reach{std::int64_t{c.left} + originX_ - w, std::int64_t{c.top} + originY_ - w,
                    std::int64_t{c.right} + originX_ + w, std::int64_t{c.bottom} + originY_ + w};
    if (std::max<std::int64_t>(x0, x1) < reach.left || std::min<std::int64_t>(x0, x1) >= reach.right ||
        std::max<std::int64_t>(y0, y1) < reach.top || std::min<std::int64_t>(y0, y1) >= reach.bottom) {
        return;
    }

    const std::int64_t dx = std::llabs(std::int64_t{x1} - x0);
    const std::int64_t dy = -std::llabs(std::int64_t{y1} - y0);
    const std::int64_t sx = x0 < x1 ? 1 : -1;
    const std::int64_t sy = y0 < y1 ? 1 : -1;
    std::int64_t err = dx + dy;
    std::int64_t x = x0, y = y0;
    while (x != x1 || y != y1) {
        const Box stamp = Intersect(Box{ToDeviceX(x - back), ToDeviceY(y - back), ToDeviceX(x - back + w),
                                        ToDeviceY(y - back + w)},
                                    Box{c.left, c.top, c.right, c.bottom});
        if (!stamp.Empty()) {
            FillDevice(Rect{static_cast<std::int32_t>(stamp.left), static_cast<std::int32_t>(stamp.top),
                            static_cast<std::int32_t>(stamp.right), static_cast<std::int32_t>(stamp.bottom)},
                       p->color);
        }
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void SoftCanvas::CopyFrom(const Canvas& backBuffer, const Rect& r) {
    const auto* src = dynamic_cast<const SoftCanvas*>(&backBuffer);
    if (!src || src == this) return;
    const Rect d = ClipLogical(r);
    if (IsRectEmpty(d)) return;
    // The window rectangle in the source's pixels, limited to what the source holds.
    const Box s = Intersect(Box{std::int64_t{d.left} + originX_ - src->originX_, std::int64_t{d.top} + originY_ - src->originY_,
                                std::int64_t{d.right} + originX_ - src->originX_,
                                std::int64_t{d.bottom} + originY_ - src->originY_},
                            Box{0, 0, src->width_, src->height_});
    if (s.Empty()) return;
    // From source pixels back to this image's pixels.
    const std::int64_t shiftX = std::int64_t{src->originX_} - originX_;
    const std::int64_t shiftY = std::int64_t{src->originY_} - originY_;
    for (std::int64_t sy = s.top; sy < s.bottom; ++sy) {
        const ColorRef* from = &src->pixels_[static_cast<std::size_t>(sy) * static_cast<std::size_t>(src->width_)];
        ColorRef* to = &pixels_[static_cast<std::size_t>(sy + shiftY) * static_cast<std::size_t>(width_)];
        std::copy(from + s.left, from + s.right, to + (s.left + shiftX));
    }
}

}  // namespace vellora
