// The drawing surface the renderer and the sparks draw on. Two implementations: GDI on Windows
// (the shipped one) and a software raster for tests and pictures. Both follow the same rules:
// filled shapes exclude their right and bottom edges, lines exclude their end point, and drawing
// objects are made and released inside the call that uses them.
#pragma once

#include <memory>

#include "saver/sim/geometry.h"

namespace vellora {

// A solid brush or pen made by a canvas; only the canvas that made it may use it.
class Brush {
public:
    virtual ~Brush() = default;
};

class Pen {
public:
    virtual ~Pen() = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // The bounding box of the drawable area (a paint's update region, or the whole client area),
    // in device pixels, normalised so that left <= right and top <= bottom.
    virtual Rect ClipBox() const = 0;

    // A back buffer compatible with this canvas, area.Width() x area.Height() pixels, mapped so that
    // window position (x, y) lands on buffer pixel (x - area.left, y - area.top). Its contents are
    // undefined. Null when the memory context or the bitmap cannot be had.
    virtual std::unique_ptr<Canvas> CreateBackBuffer(const Rect& area) = 0;
    // For a back buffer: from now on window position (x, y) lands on buffer pixel (x - left, y - top).
    virtual void MapBackBuffer(std::int32_t left, std::int32_t top) = 0;

    // Plain pixel mapping: viewport and window origin (0, 0), one logical unit per pixel.
    virtual void UsePlainMapping() = 0;

    // Null when the object cannot be created.
    virtual std::unique_ptr<Brush> CreateSolidBrush(ColorRef color) = 0;
    virtual std::unique_ptr<Pen> CreateSolidPen(int width, ColorRef color) = 0;

    // Fills r with the brush, right and bottom excluded.
    virtual void FillRect(const Rect& r, const Brush& brush) = 0;
    // The ellipse inscribed in r, outlined with the pen and filled with the brush, right and bottom excluded.
    virtual void Ellipse(const Rect& r, const Pen& pen, const Brush& brush) = 0;
    // A line from (x0, y0) to (x1, y1) with the pen, the end point excluded.
    virtual void Line(int x0, int y0, int x1, int y1, const Pen& pen) = 0;
    // Copies the pixels that hold window rectangle r in the back buffer to the same window position
    // here (a plain pixel copy). The buffer must come from this canvas's CreateBackBuffer.
    virtual void CopyFrom(const Canvas& backBuffer, const Rect& r) = 0;
};

}  // namespace vellora
