// The canvas on an X window. A frame is drawn on the client side with the software raster, into
// an image of the window (the same pixels the simulator's pictures hold), and only the areas the
// frame touched go to the X server: through a shared-memory image when the server offers one,
// else as plain images. Black fills go as fills, not as pixels. The window therefore never shows
// a half-drawn frame, and no frame sends the whole window.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "saver/render/canvas.h"
#include "saver/render/soft_canvas.h"

namespace vellora::hack {

class XWindowCanvas : public Canvas {
public:
    // Null, with a one-line reason in error, when the window's visual has no direct RGB pixels
    // or no image of its size can be had.
    static std::unique_ptr<XWindowCanvas> Create(Display* display, Window window, const XWindowAttributes& attributes,
                                                 std::string& error);
    ~XWindowCanvas() override;
    XWindowCanvas(const XWindowCanvas&) = delete;
    XWindowCanvas& operator=(const XWindowCanvas&) = delete;

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

    // Blacks out the window and its image (sent with the next Present).
    void Clear();
    // Sends a window area again from the image with the next Present, after the server lost it.
    void Repaint(const Rect& r);
    // Sends what was drawn since the last call and waits until the server has taken it, so that
    // frames never pile up in the server and the shared image is free to be drawn again.
    void Present();

    std::int32_t Width() const { return image_.Width(); }
    std::int32_t Height() const { return image_.Height(); }
    bool SharedMemory() const { return shared_; }
    // What the window shows.
    const SoftCanvas& Image() const { return image_; }
    // Pixels sent as images since the canvas was made.
    std::uint64_t PixelsSent() const { return pixelsSent_; }

private:
    class BufferView;
    class XBrush;
    class XPen;

    XWindowCanvas(Display* display, Window window, const XWindowAttributes& attributes);
    bool MakeImage();
    bool MakeSharedImage();
    void ReleaseImage();
    std::uint32_t PixelOf(ColorRef c) const {
        return red_[RedOf(c)] | green_[GreenOf(c)] | blue_[BlueOf(c)];
    }
    Rect Visible(const Rect& r) const;
    void AddDamage(const Rect& r);
    void Send(const Rect& r);

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    GC gc_ = nullptr;
    SoftCanvas image_;   // what the window shows
    SoftCanvas buffer_;  // the back buffer, kept from frame to frame (its contents are undefined)
    bool bufferLent_ = false;
    XImage* ximage_ = nullptr;
    XShmSegmentInfo shm_{};
    bool shared_ = false;
    bool directWords_ = false;  // 32-bit pixels in this machine's byte order: written as words
    bool redHigh_ = false;      // and 8-bit channels red, green, blue from the high byte down
    std::uint32_t red_[256] = {}, green_[256] = {}, blue_[256] = {};
    std::vector<Rect> damage_;                          // image areas to send
    std::vector<std::pair<Rect, ColorRef>> fills_;      // solid fills to send, in order
    std::uint64_t pixelsSent_ = 0;
};

}  // namespace vellora::hack
