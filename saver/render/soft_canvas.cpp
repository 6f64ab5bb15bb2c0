#include "saver/render/soft_canvas.h"

#include <algorithm>
#include <cmath>
#include <new>

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

// Both extents of a rectangle, never below 0, in 64 bits (extreme rectangles cannot overflow).
std::int64_t ExtentOf(std::int32_t from, std::int32_t to) { return std::max<std::int64_t>(0, std::int64_t{to} - from); }

// What make() gives, or null when memory runs out (where exceptions are built in; the Windows
// builds leave them out, and the size limit alone keeps those buffers in bounds).
template <typename Make>
auto NullWithoutMemory(Make make) -> decltype(make()) {
#if defined(__cpp_exceptions)
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
#else
    return make();
#endif
}

// The number of pixels of the minor axis stepped by the time the line has taken k steps along its
// major axis (k < major). Bresenham's choice, in closed form: the nearest whole number to
// k x minor / major, halves rounded up. In 64 bits without overflow: k x minor < 2^64.
std::int64_t MinorSteps(std::int64_t k, std::int64_t minor, std::int64_t major) {
    const std::uint64_t product = static_cast<std::uint64_t>(k) * static_cast<std::uint64_t>(minor);
    const std::uint64_t q = product / static_cast<std::uint64_t>(major), r = product % static_cast<std::uint64_t>(major);
    return static_cast<std::int64_t>(q) + (2 * r >= static_cast<std::uint64_t>(major) ? 1 : 0);
}

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

bool SoftCanvas::CanHold(std::int64_t width, std::int64_t height) {
    return width >= 0 && height >= 0 && (width == 0 || height <= kMaxPixels / width);
}

SoftCanvas::SoftCanvas(std::int32_t width, std::int32_t height)
    : width_(CanHold(std::max(width, 0), std::max(height, 0)) ? std::max(width, 0) : 0),
      height_(CanHold(std::max(width, 0), std::max(height, 0)) ? std::max(height, 0) : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kBlack),
      shared_(std::make_shared<SoftCanvasShared>()) {}

std::unique_ptr<SoftCanvas> SoftCanvas::Create(std::int32_t width, std::int32_t height) {
    if (!CanHold(std::max(width, 0), std::max(height, 0))) return nullptr;
    return NullWithoutMemory([&] { return std::make_unique<SoftCanvas>(width, height); });
}

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
    // A buffer bigger than we hand out, or than memory gives, fails like a bitmap the system
    // cannot make: the frame is then drawn without one.
    const std::int64_t w = ExtentOf(area.left, area.right), h = ExtentOf(area.top, area.bottom);
    if (!CanHold(w, h)) return nullptr;
    return NullWithoutMemory([&] {
        return std::unique_ptr<Canvas>(new SoftCanvas(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h),
                                                      area.left, area.top, shared_));
    });
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
//
// The line is clipped before it is walked: point k (0 <= k < major extent) lies k pixels along
// the major axis and MinorSteps(k) along the minor one, exactly where Bresenham's walk from the
// start puts it, so only the points whose stamps can reach the drawable pixels are visited,
// however far outside them the end points lie.
void SoftCanvas::Line(int x0, int y0, int x1, int y1, const Pen& pen) {
    const auto* p = dynamic_cast<const SoftPen*>(&pen);
    if (!p) return;
    const std::int64_t w = p->width;
    const std::int64_t back = (w - 1) / 2;
    const Rect c = DeviceClip();
    if (IsRectEmpty(c)) return;

    const std::int64_t dx = std::llabs(std::int64_t{x1} - x0), dy = std::llabs(std::int64_t{y1} - y0);
    const std::int64_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    if (major == 0) return;  // start and end are one point, which is excluded

    // Logical coordinates of the points whose stamp meets the drawable pixels, inclusive.
    const Box reach{std::int64_t{c.left} + originX_ + back - w + 1, std::int64_t{c.top} + originY_ + back - w + 1,
                    std::int64_t{c.right} + originX_ + back - 1, std::int64_t{c.bottom} + originY_ + back - 1};
    const std::int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const std::int64_t sa = xMajor ? sx : sy, sb = xMajor ? sy : sx;
    const std::int64_t aLo = xMajor ? reach.left : reach.top, aHi = xMajor ? reach.right : reach.bottom;
    const std::int64_t bLo = xMajor ? reach.top : reach.left, bHi = xMajor ? reach.bottom : reach.right;

    // The major coordinate a0 + sa k within [aLo, aHi].
    std::int64_t first = std::max<std::int64_t>(0, sa > 0 ? aLo - a0 : a0 - aHi);
    std::int64_t last = std::min<std::int64_t>(major - 1, sa > 0 ? aHi - a0 : a0 - aLo);
    if (first > last) return;
    // The minor coordinate b0 + sb MinorSteps(k) within [bLo, bHi]; MinorSteps never falls as k
    // grows, so the points that qualify are one run, found by halving.
    const std::int64_t stepsLo = sb > 0 ? bLo - b0 : b0 - bHi, stepsHi = sb > 0 ? bHi - b0 : b0 - bLo;
    auto firstWith = [&](std::int64_t lo, std::int64_t hi, auto&& pred) {  // first k in [lo, hi] with pred, else hi + 1
        while (lo <= hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (pred(mid)) hi = mid - 1;
            else lo = mid + 1;
        }
        return lo;
    };
    first = firstWith(first, last, [&](std::int64_t k) { return MinorSteps(k, minor, major) >= stepsLo; });
    last = firstWith(first, last, [&](std::int64_t k) { return MinorSteps(k, minor, major) > stepsHi; }) - 1;

    const Box drawable{c.left, c.top, c.right, c.bottom};
    for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t a = a0 + sa * k, b = b0 + sb * MinorSteps(k, minor, major);
        const std::int64_t x = xMajor ? a : b, y = xMajor ? b : a;
        const Box stamp = Intersect(Box{ToDeviceX(x - back), ToDeviceY(y - back), ToDeviceX(x - back + w),
                                        ToDeviceY(y - back + w)},
                                    drawable);
        if (!stamp.Empty()) {
            FillDevice(Rect{static_cast<std::int32_t>(stamp.left), static_cast<std::int32_t>(stamp.top),
                            static_cast<std::int32_t>(stamp.right), static_cast<std::int32_t>(stamp.bottom)},
                       p->color);
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
