// Scene nodes: an outline (circle or polygon) placed in window coordinates with its bounds.
#pragma once

#include <cstdint>

#include "saver/sim/geometry.h"

namespace vellora {

enum OutlineKind : std::int32_t {
    Polygon = 1,
    Circle = 2,  // every value other than Polygon is a circle
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class Outline {
public:
    Outline() = default;
    Outline(std::int32_t kind, const Point* points, std::int32_t pointCount, double radius);
    // Copies kind, point count and radius; a polygon gets its own copy of the points.
    explicit Outline(const Outline& prototype);
    Outline& operator=(const Outline&) = delete;
    virtual ~Outline();

    std::int32_t kind = Circle;
    Point* points = nullptr;
    std::int32_t pointCount = 0;
    double radius = 0.0;
    bool ownsPoints = false;
};

class Shape : public Outline {
public:
    Shape(const Outline& prototype, double x, double y);
    ~Shape() override = default;

    // World transform, outline in window coordinates, bounds and prevBounds, then the children.
    virtual void Update();

    double localX, localY;
    double worldX, worldY;
    double localAngle = 0.0;
    double worldAngle = 0.0;
    double scale = 1.0;
    const Outline* prototype;
    Shape* firstChild = nullptr;
    Shape* nextSibling = nullptr;
    Shape* parent = nullptr;
    Rect bounds;
    Rect prevBounds;
};

}  // namespace vellora
