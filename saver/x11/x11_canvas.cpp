#include "saver/x11/x11_canvas.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "saver/x11/x_errors.h"

namespace vellora::hack {

namespace {

std::int64_t Area(const Rect& r) { return IsRectEmpty(r) ? 0 : std::int64_t{r.Width()} * r.Height(); }

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Two areas next to each other go as one when that sends little more than the two would: the
// sparks of one burst, a ball's rectangle and a spark across it.
constexpr std::int64_t kMergeSlack = 256;

// One 8-bit channel value placed under a visual's mask, for every value.
void ChannelTable(unsigned long mask, std::uint32_t (&table)[256]) {
    int shift = 0, bits = 0;
    if (mask != 0) {
        while (((mask >> shift) & 1u) == 0) ++shift;
        while (((mask >> (shift + bits)) & 1u) != 0) ++bits;
    }
    for (std::uint32_t v = 0; v < 256; ++v) {
        const std::uint32_t scaled = bits >= 8 ? (v << (bits - 8)) | (bits > 8 ? v >> (16 - bits) : 0) : v >> (8 - bits);
        table[v] = bits == 0 ? 0 : scaled << shift;
    }
}

bool LittleEndianHost() {
    const std::uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

}  // namespace

// The kept back buffer, lent to one frame at a time.
class XWindowCanvas::BufferView : public Canvas {
public:
    BufferView(SoftCanvas& buffer, bool& lent) : buffer_(buffer), lent_(lent) { lent_ = true; }
    ~BufferView() override { lent_ = false; }

    static const Canvas& Unwrap(const Canvas& canvas) {
        const auto* view = dynamic_cast<const BufferView*>(&canvas);
        return view ? view->buffer_ : canvas;
    }

    Rect ClipBox() const override { return buffer_.ClipBox(); }
    std::unique_ptr<Canvas> CreateBackBuffer(const Rect& area) override { return buffer_.CreateBackBuffer(area); }
    void MapBackBuffer(std::int32_t left, std::int32_t top) override { buffer_.MapBackBuffer(left, top); }
    void UsePlainMapping() override { buffer_.UsePlainMapping(); }
    std::unique_ptr<Brush> CreateSolidBrush(ColorRef color) override { return buffer_.CreateSolidBrush(color); }
    std::unique_ptr<Pen> CreateSolidPen(int width, ColorRef color) override {
        return buffer_.CreateSolidPen(width, color);
    }
    void FillRect(const Rect& r, const Brush& brush) override { buffer_.FillRect(r, brush); }
    void Ellipse(const Rect& r, const Pen& pen, const Brush& brush) override { buffer_.Ellipse(r, pen, brush); }
    void Line(int x0, int y0, int x1, int y1, const Pen& pen) override { buffer_.Line(x0, y0, x1, y1, pen); }
    void CopyFrom(const Canvas& backBuffer, const Rect& r) override { buffer_.CopyFrom(Unwrap(backBuffer), r); }

private:
    SoftCanvas& buffer_;
    bool& lent_;
};

// The window's brushes and pens carry what the server needs besides the raster's own object.
class XWindowCanvas::XBrush : public Brush {
public:
    XBrush(std::unique_ptr<Brush> soft, ColorRef color) : soft(std::move(soft)), color(color) {}
    const std::unique_ptr<Brush> soft;
    const ColorRef color;
};

class XWindowCanvas::XPen : public Pen {
public:
    XPen(std::unique_ptr<Pen> soft, int width) : soft(std::move(soft)), width(width < 1 ? 1 : width) {}
    const std::unique_ptr<Pen> soft;
    const int width;
};

std::unique_ptr<XWindowCanvas> XWindowCanvas::Create(Display* display, Window window,
                                                     const XWindowAttributes& attributes, std::string& error) {
    const Visual* visual = attributes.visual;
    if (visual == nullptr || (visual->c_class != TrueColor && visual->c_class != DirectColor)) {
        error = "the window's visual has no direct RGB pixels (TrueColor or DirectColor)";
        return nullptr;
    }
    std::unique_ptr<XWindowCanvas> canvas(new XWindowCanvas(display, window, attributes));
    if (!canvas->gc_ || !canvas->MakeImage()) {
        error = "no image of " + std::to_string(attributes.width) + " x " + std::to_string(attributes.height) +
                " pixels for the window";
        return nullptr;
    }
    return canvas;
}

XWindowCanvas::XWindowCanvas(Display* display, Window window, const XWindowAttributes& attributes)
    : display_(display), window_(window), visual_(attributes.visual), depth_(attributes.depth),
      image_(attributes.width, attributes.height), buffer_(attributes.width, attributes.height) {
    ChannelTable(visual_->red_mask, red_);
    ChannelTable(visual_->green_mask, green_);
    ChannelTable(visual_->blue_mask, blue_);
    XGCValues values{};
    values.graphics_exposures = False;
    gc_ = XCreateGC(display_, window_, GCGraphicsExposures, &values);
}

XWindowCanvas::~XWindowCanvas() {
    ReleaseImage();
    if (gc_) XFreeGC(display_, gc_);
}

bool XWindowCanvas::MakeSharedImage() {
    if (!XShmQueryExtension(display_)) return false;
    ximage_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &shm_,
                              static_cast<unsigned>(Width()), static_cast<unsigned>(Height()));
    if (!ximage_) return false;
    shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(ximage_->bytes_per_line) * ximage_->height,
                        IPC_CREAT | 0600);
    if (shm_.shmid >= 0) {
        void* address = shmat(shm_.shmid, nullptr, 0);
        if (address != reinterpret_cast<void*>(-1)) {
            shm_.shmaddr = ximage_->data = static_cast<char*>(address);
            shm_.readOnly = False;
            // A server on another machine, or one that may not read our memory, refuses the attach
            // with an error that arrives only after a round trip.
            const unsigned long before = SyncAndCountErrors(display_);
            if (XShmAttach(display_, &shm_) && SyncAndCountErrors(display_) == before) {
                // Marked for removal at once: the segment goes when both sides let go of it, however
                // this process ends.
                shmctl(shm_.shmid, IPC_RMID, nullptr);
                shared_ = true;
                return true;
            }
            shmdt(address);
        }
        shmctl(shm_.shmid, IPC_RMID, nullptr);
    }
    ximage_->data = nullptr;
    XDestroyImage(ximage_);
    ximage_ = nullptr;
    shm_ = XShmSegmentInfo{};
    return false;
}

bool XWindowCanvas::MakeImage() {
    if (!MakeSharedImage()) {
        ximage_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(Width()), static_cast<unsigned>(Height()), 32, 0);
        if (!ximage_) return false;
        // XDestroyImage frees the pixels with free().
        ximage_->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(ximage_->bytes_per_line),
                                                       static_cast<std::size_t>(Height())));
        if (!ximage_->data) {
            XDestroyImage(ximage_);
            ximage_ = nullptr;
            return false;
        }
    }
    directWords_ = ximage_->bits_per_pixel == 32 && (ximage_->byte_order == LSBFirst) == LittleEndianHost();
    redHigh_ = directWords_ && visual_->red_mask == 0xFF0000u && visual_->green_mask == 0xFF00u &&
               visual_->blue_mask == 0xFFu;
    return true;
}

void XWindowCanvas::ReleaseImage() {
    if (!ximage_) return;
    if (shared_) {
        XShmDetach(display_, &shm_);
        XSync(display_, False);
        ximage_->data = nullptr;
        XDestroyImage(ximage_);
        shmdt(shm_.shmaddr);
    } else {
        XDestroyImage(ximage_);
    }
    ximage_ = nullptr;
    shared_ = false;
}

Rect XWindowCanvas::ClipBox() const { return Rect{0, 0, Width(), Height()}; }

std::unique_ptr<Canvas> XWindowCanvas::CreateBackBuffer(const Rect& area) {
    // The whole window, as a tick asks for, is the kept buffer; anything else a buffer of its own.
    if (area == ClipBox() && !bufferLent_) return std::make_unique<BufferView>(buffer_, bufferLent_);
    return image_.CreateBackBuffer(area);
}

void XWindowCanvas::MapBackBuffer(std::int32_t left, std::int32_t top) { image_.MapBackBuffer(left, top); }

void XWindowCanvas::UsePlainMapping() { image_.UsePlainMapping(); }

std::unique_ptr<Brush> XWindowCanvas::CreateSolidBrush(ColorRef color) {
    auto soft = image_.CreateSolidBrush(color);
    if (!soft) return nullptr;
    return std::make_unique<XBrush>(std::move(soft), color);
}

std::unique_ptr<Pen> XWindowCanvas::CreateSolidPen(int width, ColorRef color) {
    auto soft = image_.CreateSolidPen(width, color);
    if (!soft) return nullptr;
    return std::make_unique<XPen>(std::move(soft), width);
}

Rect XWindowCanvas::Visible(const Rect& r) const { return IntersectRect(r, ClipBox()); }

void XWindowCanvas::AddDamage(const Rect& r) {
    const Rect v = Visible(r);
    if (IsRectEmpty(v)) return;
    if (!damage_.empty()) {
        Rect& last = damage_.back();
        const Rect joined = UnionRect(last, v);
        if (Area(joined) <= Area(last) + Area(v) + kMergeSlack) {
            last = joined;
            return;
        }
    }
    damage_.push_back(v);
}

void XWindowCanvas::FillRect(const Rect& r, const Brush& brush) {
    const auto* b = dynamic_cast<const XBrush*>(&brush);
    if (!b) return;
    image_.FillRect(r, *b->soft);
    const Rect v = Visible(r);
    if (IsRectEmpty(v)) return;
    // The fill goes to the server as a fill; areas it covers need not be sent as pixels.
    damage_.erase(std::remove_if(damage_.begin(), damage_.end(), [&](const Rect& d) { return Contains(v, d); }),
                  damage_.end());
    fills_.emplace_back(v, b->color);
}

void XWindowCanvas::Ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
    const auto* p = dynamic_cast<const XPen*>(&pen);
    const auto* b = dynamic_cast<const XBrush*>(&brush);
    if (!p || !b) return;
    image_.Ellipse(r, *p->soft, *b->soft);
    AddDamage(r);
}

void XWindowCanvas::Line(int x0, int y0, int x1, int y1, const Pen& pen) {
    const auto* p = dynamic_cast<const XPen*>(&pen);
    if (!p) return;
    image_.Line(x0, y0, x1, y1, *p->soft);
    // Every stamp of the pen lies within its width of the line's end points.
    const std::int64_t w = p->width;
    auto clampToInt = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    AddDamage(Rect{clampToInt(std::min<std::int64_t>(x0, x1) - w), clampToInt(std::min<std::int64_t>(y0, y1) - w),
                   clampToInt(std::max<std::int64_t>(x0, x1) + w), clampToInt(std::max<std::int64_t>(y0, y1) + w)});
}

void XWindowCanvas::CopyFrom(const Canvas& backBuffer, const Rect& r) {
    image_.CopyFrom(BufferView::Unwrap(backBuffer), r);
    AddDamage(r);
}

void XWindowCanvas::Clear() {
    image_.Clear(kBlack);
    damage_.clear();
    fills_.clear();
    fills_.emplace_back(ClipBox(), kBlack);
}

void XWindowCanvas::Repaint(const Rect& r) { AddDamage(r); }

void XWindowCanvas::Send(const Rect& r) {
    const std::vector<ColorRef>& pixels = image_.Pixels();
    const auto width = static_cast<std::size_t>(Width());
    const std::int32_t n = r.Width();
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const ColorRef* __restrict from = &pixels[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(r.left)];
        auto* __restrict to = reinterpret_cast<std::uint32_t*>(ximage_->data + static_cast<std::ptrdiff_t>(y) * ximage_->bytes_per_line) +
                              r.left;
        if (redHigh_) {
            // The usual 24-bit visual: only red and blue change places (a loop the compiler vectorises).
            for (std::int32_t i = 0; i < n; ++i) {
                const std::uint32_t c = from[i];
                to[i] = ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
            }
        } else if (directWords_) {
            for (std::int32_t i = 0; i < n; ++i) to[i] = PixelOf(from[i]);
        } else {
            for (std::int32_t i = 0; i < n; ++i) XPutPixel(ximage_, r.left + i, y, PixelOf(from[i]));
        }
    }
    const auto w = static_cast<unsigned>(r.Width()), h = static_cast<unsigned>(r.Height());
    if (shared_)
        XShmPutImage(display_, window_, gc_, ximage_, r.left, r.top, r.left, r.top, w, h, False);
    else
        XPutImage(display_, window_, gc_, ximage_, r.left, r.top, r.left, r.top, w, h);
    pixelsSent_ += static_cast<std::uint64_t>(w) * h;
}

void XWindowCanvas::Present() {
    if (fills_.empty() && damage_.empty()) return;
    for (const auto& [r, color] : fills_) {
        XSetForeground(display_, gc_, PixelOf(color));
        XFillRectangle(display_, window_, gc_, r.left, r.top, static_cast<unsigned>(r.Width()),
                       static_cast<unsigned>(r.Height()));
    }
    for (const Rect& r : damage_) Send(r);
    fills_.clear();
    damage_.clear();
    XSync(display_, False);
}

}  // namespace vellora::hack
