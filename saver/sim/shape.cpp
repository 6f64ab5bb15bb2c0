#include "saver/sim/shape.h"

#include <algorithm>
#include <cmath>

namespace vellora {

Outline::Outline(std::int32_t k, const Point* pts, std::int32_t count, double r)
    : kind(k), pointCount(count), radius(r) {
    if (kind == Polygon && count > 0) {
        points = new Point[count];
        std::copy(pts, pts + count, points);
        ownsPoints = true;
    }
}

Outline::Outline(const Outline& prototype)
    : kind(prototype.kind), pointCount(prototype.pointCount), radius(prototype.radius) {
    if (kind == Polygon) {
        points = new Point[pointCount > 0 ? pointCount : 0];
        std::copy(prototype.points, prototype.points + std::max(pointCount, 0), points);
        ownsPoints = true;
    }
}

Outline::~Outline() {
    if (ownsPoints) delete[] points;
}

Shape::Shape(const Outline& proto, double x, double y)
    : Outline(proto), localX(x), localY(y), worldX(x), worldY(y), prototype(&proto) {
    const std::int32_t tx = Trunc(x), ty = Trunc(y);
    bounds = Rect{tx, ty, tx, ty};
    prevBounds = bounds;
}

void Shape::Update() {
    if (parent) {
        worldAngle = parent->worldAngle + localAngle;
        scale = parent->scale;
    } else {
        worldAngle = localAngle;
    }
    prevBounds = bounds;
    const double a = std::cos(worldAngle) * scale;
    const double b = std::sin(worldAngle) * scale;

    if (kind == Polygon) {
        const std::int32_t ox = Trunc(worldX), oy = Trunc(worldY);
        bounds = Rect{ox, oy, ox, oy};
        for (std::int32_t i = 0; i < pointCount; ++i) {
            const double px = prototype->points[i].x, py = prototype->points[i].y;
            const double x = px * a - py * b + worldX;
            const double y = px * b + py * a + worldY;
            if (x < bounds.left) bounds.left = Trunc(x);
            else if (x > bounds.right) bounds.right = Trunc(x);
            if (y < bounds.top) bounds.top = Trunc(y);
            else if (y > bounds.bottom) bounds.bottom = Trunc(y);
            points[i] = Point{Trunc(x), Trunc(y)};
        }
    } else {
        radius = prototype->radius * scale;
        bounds = Rect{Trunc(worldX - radius), Trunc(worldY - radius), Trunc(worldX + radius),
                      Trunc(worldY + radius)};
    }

    for (Shape* child = firstChild; child; child = child->nextSibling) {
        child->worldX = child->localX * a - child->localY * b + worldX;
        child->worldY = child->localX * b + child->localY * a + worldY;
        child->Update();
        bounds.left = std::min(bounds.left, child->bounds.left);
        bounds.top = std::min(bounds.top, child->bounds.top);
        bounds.right = std::max(bounds.right, child->bounds.right);
        bounds.bottom = std::max(bounds.bottom, child->bounds.bottom);
    }
}

}  // namespace vellora
