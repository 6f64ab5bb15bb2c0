#include <gtest/gtest.h>

#include <cmath>

#include "saver/sim/shape.h"

namespace vellora {
namespace {

TEST(ShapeTest, CircleUpdateScalesRadiusAndTruncatesBounds) {
    struct Case {
        double x, y, protoRadius, scale, radius;
        Rect bounds;
    };
    const Case cases[] = {
        {100.7, 50.2, 10.0, 0.5, 5.0, {95, 45, 105, 55}},
        // Truncation goes toward zero, not downward: -0.75 becomes 0.
        {-0.5, 0.0, 0.25, 1.0, 0.25, {0, 0, 0, 0}},
        {-10.5, -3.5, 2.0, 1.0, 2.0, {-12, -5, -8, -1}},
    };
    for (const Case& c : cases) {
        Outline proto(Circle, nullptr, 0, c.protoRadius);
        Shape s(proto, c.x, c.y);
        s.scale = c.scale;
        s.Update();
        EXPECT_DOUBLE_EQ(s.radius, c.radius) << c.x;
        EXPECT_EQ(s.bounds, c.bounds) << c.x;
    }
}

TEST(ShapeTest, ConstructionStartsWithEmptyBoundsAtTruncatedPosition) {
    Outline proto(Circle, nullptr, 0, 10.0);
    Shape s(proto, -3.9, 7.9);
    EXPECT_EQ(s.bounds, (Rect{-3, 7, -3, 7}));
    EXPECT_EQ(s.prevBounds, s.bounds);
    EXPECT_EQ(s.prototype, &proto);
    EXPECT_EQ(s.points, nullptr);
    EXPECT_FALSE(s.ownsPoints);
}

TEST(ShapeTest, PolygonSquareGetsWorldPointsAndBounds) {
    const Point square[] = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
    Outline proto(Polygon, square, 4, 0.0);
    Shape s(proto, 50.0, 50.0);
    ASSERT_TRUE(s.ownsPoints);
    ASSERT_NE(s.points, proto.points);
    s.Update();
    EXPECT_EQ(s.bounds, (Rect{40, 40, 60, 60}));
    const Point expected[] = {{40, 40}, {60, 40}, {60, 60}, {40, 60}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.points[i].x, expected[i].x);
        EXPECT_EQ(s.points[i].y, expected[i].y);
    }
    s.scale = 2.0;
    s.Update();
    EXPECT_EQ(s.bounds, (Rect{30, 30, 70, 70}));
    // The prototype's model points are untouched.
    EXPECT_EQ(proto.points[0].x, -10);
}

TEST(ShapeTest, PolygonWithoutPointsHasEmptyBoundsAtOrigin) {
    Outline proto(Polygon, nullptr, 0, 0.0);
    Shape s(proto, 12.6, -4.2);
    s.Update();
    EXPECT_EQ(s.bounds, (Rect{12, -4, 12, -4}));
}

TEST(ShapeTest, ChildBoundsWidenTheParentOnBothSides) {
    const Point bar[] = {{-50, 0}, {50, 0}};
    Outline wide(Polygon, bar, 2, 0.0);
    Outline small(Circle, nullptr, 0, 5.0);
    Shape parent(small, 100.0, 100.0);
    Shape child(wide, 0.0, 0.0);
    child.localX = 0.0;
    child.localY = 20.0;
    parent.firstChild = &child;
    child.parent = &parent;
    parent.Update();
    EXPECT_EQ(child.bounds, (Rect{50, 120, 150, 120}));
    EXPECT_EQ(parent.bounds, (Rect{50, 95, 150, 120}));
}

TEST(ShapeTest, ChildTakesParentScaleAndAngle) {
    Outline proto(Circle, nullptr, 0, 4.0);
    Shape parent(proto, 0.0, 0.0);
    Shape child(proto, 0.0, 0.0);
    parent.firstChild = &child;
    child.parent = &parent;
    parent.scale = 3.0;
    child.scale = 0.5;  // overwritten by the parent's, not multiplied
    parent.localAngle = 1.0;
    child.localAngle = 0.5;
    child.localX = 1.0;
    parent.Update();
    EXPECT_DOUBLE_EQ(child.scale, 3.0);
    EXPECT_DOUBLE_EQ(child.worldAngle, 1.5);
    EXPECT_DOUBLE_EQ(child.radius, 12.0);
    EXPECT_NEAR(child.worldX, 3.0 * std::cos(1.0), 1e-12);
    EXPECT_NEAR(child.worldY, 3.0 * std::sin(1.0), 1e-12);
}

TEST(ShapeTest, SecondUpdateWithoutMovementKeepsPrevBoundsEqual) {
    Outline proto(Circle, nullptr, 0, 10.0);
    Shape s(proto, 20.0, 20.0);
    s.Update();
    EXPECT_NE(s.prevBounds, s.bounds);
    s.Update();
    EXPECT_EQ(s.prevBounds, s.bounds);
}

}  // namespace
}  // namespace vellora
