#include "saver/app/gdi_canvas.h"

#include <utility>

#include "win/handles.h"

namespace vellora::win {

namespace {

// A memory context with the buffer's bitmap selected. Declared in this order, they go in the
// reverse one: the bitmap is selected out before it and the context are deleted. The bitmap is a
// device bitmap: measured under Wine, a 32-bit DIB section of a ball's size spared the display's
// depth query but cost more to map and unmap each frame (the saver's CPU share about a fifth more).
struct BackBufferObjects {
    BackBufferObjects(HDC windowDc, const Rect& area)
        : memory(windowDc), bitmap(CreateCompatibleBitmap(windowDc, area.Width(), area.Height())),
          selected(memory.Get(), bitmap.Get()) {}
    bool Valid() const { return memory.Get() != nullptr && bitmap.Get() != nullptr; }

    MemoryDC memory;
    GdiObject<HBITMAP> bitmap;
    SelectedObject selected;
};

// The buffer shifted so that window coordinates can be used on it unchanged.
class GdiBackBuffer : private BackBufferObjects, public GdiCanvas {
public:
    GdiBackBuffer(HDC windowDc, const Rect& area) : BackBufferObjects(windowDc, area), GdiCanvas(memory.Get()) {
        if (Valid()) OffsetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
    }
    using BackBufferObjects::Valid;
};

}  // namespace

// Selected out of the context, if it is there, before it is deleted.
template <typename Interface, typename Handle, int kSlot>
class GdiCanvas::CanvasObject : public Interface {
public:
    CanvasObject(GdiCanvas& canvas, Handle handle) : canvas_(canvas), handle_(handle) {}
    ~CanvasObject() override { canvas_.Deselect(static_cast<Slot>(kSlot), handle_.Get()); }
    Handle Get() const { return handle_.Get(); }

private:
    GdiCanvas& canvas_;
    GdiObject<Handle> handle_;
};

GdiCanvas::~GdiCanvas() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (selected_[slot] != nullptr) SelectObject(dc_, original_[slot]);
    }
}

bool GdiCanvas::Select(Slot slot, HGDIOBJ object) {
    if (selected_[slot] == object) return true;
    HGDIOBJ previous = SelectObject(dc_, object);
    if (previous == nullptr || previous == HGDI_ERROR) return false;
    if (selected_[slot] == nullptr) original_[slot] = previous;
    selected_[slot] = object;
    return true;
}

void GdiCanvas::Deselect(Slot slot, HGDIOBJ object) {
    if (selected_[slot] != object) return;
    SelectObject(dc_, original_[slot]);
    selected_[slot] = nullptr;
    original_[slot] = nullptr;
}

Rect GdiCanvas::ClipBox() const {
    RECT box{};
    if (GetClipBox(dc_, &box) == ERROR) return Rect{};
    POINT corners[2] = {{box.left, box.top}, {box.right, box.bottom}};
    LPtoDP(dc_, corners, 2);
    Rect r{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

std::unique_ptr<Canvas> GdiCanvas::CreateBackBuffer(const Rect& area) {
    auto buffer = std::make_unique<GdiBackBuffer>(dc_, area);
    if (!buffer->Valid()) return nullptr;
    return buffer;
}

void GdiCanvas::MapBackBuffer(std::int32_t left, std::int32_t top) { SetViewportOrgEx(dc_, -left, -top, nullptr); }

void GdiCanvas::UsePlainMapping() {
    // A client-area or paint context has the plain mapping already: reading it is cheap, changing
    // it is not.
    POINT viewport{}, window{};
    GetViewportOrgEx(dc_, &viewport);
    GetWindowOrgEx(dc_, &window);
    if (viewport.x != 0 || viewport.y != 0) SetViewportOrgEx(dc_, 0, 0, nullptr);
    if (window.x != 0 || window.y != 0) SetWindowOrgEx(dc_, 0, 0, nullptr);
    if (GetMapMode(dc_) != MM_TEXT) SetMapMode(dc_, MM_TEXT);
}

std::unique_ptr<Brush> GdiCanvas::CreateSolidBrush(ColorRef color) {
    HBRUSH brush = ::CreateSolidBrush(static_cast<COLORREF>(color));
    if (brush == nullptr) return nullptr;
    return std::make_unique<CanvasBrush>(*this, brush);
}

std::unique_ptr<Pen> GdiCanvas::CreateSolidPen(int width, ColorRef color) {
    HPEN pen = CreatePen(PS_SOLID, width, static_cast<COLORREF>(color));
    if (pen == nullptr) return nullptr;
    return std::make_unique<CanvasPen>(*this, pen);
}

// What FillRect does, with the brush left selected for the next call.
void GdiCanvas::FillRect(const Rect& r, const Brush& brush) {
    if (!Select(kBrush, static_cast<const CanvasBrush&>(brush).Get())) return;
    PatBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
}

void GdiCanvas::Ellipse(const Rect& r, const Pen& pen, const Brush& brush) {
    if (!Select(kPen, static_cast<const CanvasPen&>(pen).Get())) return;
    if (!Select(kBrush, static_cast<const CanvasBrush&>(brush).Get())) return;
    ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::Line(int x0, int y0, int x1, int y1, const Pen& pen) {
    if (!Select(kPen, static_cast<const CanvasPen&>(pen).Get())) return;
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
}

void GdiCanvas::CopyFrom(const Canvas& backBuffer, const Rect& r) {
    // The buffer's context is shifted by its area's origin, so the window position names the
    // source pixels directly.
    const auto& source = static_cast<const GdiCanvas&>(backBuffer);
    BitBlt(dc_, r.left, r.top, r.Width(), r.Height(), source.dc_, r.left, r.top, SRCCOPY);
}

}  // namespace vellora::win
