#include "bench/peer_worlds.h"

#include <box2d/box2d.h>
#include <chipmunk.h>

namespace vellora::bench {

namespace {

constexpr double kFramesPerSecond = 60.0;

// Box2D is tuned for bodies of 0.1 to 10 m and clamps a step's translation at 2 m: at 50 pixels
// to the metre a ball is 0.2 m across its radius and its fastest fall (about 25 pixels a frame)
// stays well under that clamp.
constexpr double kPixelsPerMetre = 50.0;
constexpr double kWallThickness = 200.0;  // pixels

class Box2DWorld : public PeerWorld {
public:
    Box2DWorld(const std::vector<BodyState>& bodies, const Rect& area) : world_(b2Vec2(0.0f, G())) {
        world_.SetAllowSleeping(false);  // our balls never rest, so neither may theirs
        // A discrete step, like ours: with continuous collision on, every ball that reaches a wall
        // goes through Box2D's time-of-impact pass, whose cost grows with all the contacts.
        world_.SetContinuousPhysics(false);
        // Walls thick enough that a fast ball never gets past the middle of one and out.
        b2BodyDef wallDef;
        b2Body* walls = world_.CreateBody(&wallDef);
        const float l = M(area.left), t = M(area.top), r = M(area.right), b = M(area.bottom);
        const float h = M(kWallThickness) / 2, cx = (l + r) / 2, cy = (t + b) / 2, w = (r - l) / 2 + 2 * h,
                    v = (b - t) / 2 + 2 * h;
        const struct {
            float hx, hy, x, y;
        } boxes[4] = {{w, h, cx, t - h}, {w, h, cx, b + h}, {h, v, l - h, cy}, {h, v, r + h, cy}};
        for (const auto& box : boxes) {
            b2PolygonShape shape;
            shape.SetAsBox(box.hx, box.hy, b2Vec2(box.x, box.y), 0.0f);
            b2FixtureDef fd;
            fd.shape = &shape;
            fd.friction = 0.0f;
            fd.restitution = 1.0f;
            fd.restitutionThreshold = 0.0f;
            walls->CreateFixture(&fd);
        }
        bodies_.reserve(bodies.size());
        for (const BodyState& s : bodies) {
            b2BodyDef def;
            def.type = b2_dynamicBody;
            def.position.Set(M(s.x), M(s.y));
            def.linearVelocity.Set(V(s.vx), V(s.vy));
            b2Body* body = world_.CreateBody(&def);
            b2CircleShape circle;
            circle.m_radius = M(s.radius);
            b2FixtureDef fd;
            fd.shape = &circle;
            fd.density = 1.0f;
            fd.friction = 0.0f;
            fd.restitution = 1.0f;
            fd.restitutionThreshold = 0.0f;  // elastic at every speed, as ours are
            body->CreateFixture(&fd);
            bodies_.push_back(body);
        }
    }

    void Step() override {
        world_.Step(static_cast<float>(1.0 / kFramesPerSecond), kBox2DVelocityIterations, kBox2DPositionIterations);
    }

    double SpeedSquaredSum() const override {
        double sum = 0.0;
        for (const b2Body* body : bodies_) {
            const b2Vec2 v = body->GetLinearVelocity();
            const double vx = v.x * kPixelsPerMetre / kFramesPerSecond, vy = v.y * kPixelsPerMetre / kFramesPerSecond;
            sum += vx * vx + vy * vy;
        }
        return sum;
    }

private:
    static float M(double pixels) { return static_cast<float>(pixels / kPixelsPerMetre); }
    static float V(double pixelsPerFrame) { return static_cast<float>(pixelsPerFrame * kFramesPerSecond / kPixelsPerMetre); }
    static float G() { return static_cast<float>(0.2 * kFramesPerSecond * kFramesPerSecond / kPixelsPerMetre); }

    b2World world_;
    std::vector<b2Body*> bodies_;
};

// Chipmunk has no preferred unit of length, so it works in pixels and seconds.
class ChipmunkWorld : public PeerWorld {
public:
    ChipmunkWorld(const std::vector<BodyState>& bodies, const Rect& area) : space_(cpSpaceNew()) {
        cpSpaceSetIterations(space_, kChipmunkIterations);
        cpSpaceSetGravity(space_, cpv(0.0, 0.2 * kFramesPerSecond * kFramesPerSecond));
        // Each wall a thick rounded segment whose inner face is the edge of the area, long enough
        // to close the corners; a thin one would let a fast ball cross its middle and escape.
        cpBody* walls = cpSpaceGetStaticBody(space_);
        const double h = kWallThickness / 2, l = area.left - h, t = area.top - h, r = area.right + h,
                     b = area.bottom + h;
        AddShape(cpSegmentShapeNew(walls, cpv(l - h, t), cpv(r + h, t), h));
        AddShape(cpSegmentShapeNew(walls, cpv(l - h, b), cpv(r + h, b), h));
        AddShape(cpSegmentShapeNew(walls, cpv(l, t - h), cpv(l, b + h), h));
        AddShape(cpSegmentShapeNew(walls, cpv(r, t - h), cpv(r, b + h), h));
        bodies_.reserve(bodies.size());
        for (const BodyState& s : bodies) {
            cpBody* body = cpSpaceAddBody(space_, cpBodyNew(s.mass, cpMomentForCircle(s.mass, 0.0, s.radius, cpvzero)));
            cpBodySetPosition(body, cpv(s.x, s.y));
            cpBodySetVelocity(body, cpv(s.vx * kFramesPerSecond, s.vy * kFramesPerSecond));
            AddShape(cpCircleShapeNew(body, s.radius, cpvzero));
            bodies_.push_back(body);
        }
    }

    ~ChipmunkWorld() override {
        for (cpShape* shape : shapes_) {
            cpSpaceRemoveShape(space_, shape);
            cpShapeFree(shape);
        }
        for (cpBody* body : bodies_) {
            cpSpaceRemoveBody(space_, body);
            cpBodyFree(body);
        }
        cpSpaceFree(space_);
    }
    ChipmunkWorld(const ChipmunkWorld&) = delete;
    ChipmunkWorld& operator=(const ChipmunkWorld&) = delete;

    void Step() override { cpSpaceStep(space_, 1.0 / kFramesPerSecond); }

    double SpeedSquaredSum() const override {
        double sum = 0.0;
        for (const cpBody* body : bodies_) {
            const cpVect v = cpBodyGetVelocity(body);
            sum += (v.x * v.x + v.y * v.y) / (kFramesPerSecond * kFramesPerSecond);
        }
        return sum;
    }

private:
    void AddShape(cpShape* shape) {
        cpShapeSetElasticity(shape, 1.0);  // the pair's elasticity is the product of the two
        cpShapeSetFriction(shape, 0.0);
        cpSpaceAddShape(space_, shape);
        shapes_.push_back(shape);
    }

    cpSpace* space_;
    std::vector<cpBody*> bodies_;
    std::vector<cpShape*> shapes_;
};

}  // namespace

std::unique_ptr<PeerWorld> MakeBox2DWorld(const std::vector<BodyState>& bodies, const Rect& area) {
    return std::make_unique<Box2DWorld>(bodies, area);
}

std::unique_ptr<PeerWorld> MakeChipmunkWorld(const std::vector<BodyState>& bodies, const Rect& area) {
    return std::make_unique<ChipmunkWorld>(bodies, area);
}

}  // namespace vellora::bench
