#include "tools/sim/world_json.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "saver/sim/sim_state.h"

namespace vellora::simtool {

namespace {

class JsonLine {
public:
    void Raw(const char* text) { out_ += text; }
    void Key(const char* name) {
        Comma();
        out_ += '"';
        out_ += name;
        out_ += "\":";
        first_ = true;  // the value that follows needs no comma
    }
    void Number(double v) {
        Comma();
        if (!std::isfinite(v)) {  // never expected; keeps the line valid JSON if it happens
            out_ += "null";
            return;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        out_ += buf;
    }
    void Integer(long long v) {
        Comma();
        out_ += std::to_string(v);
    }
    void Bool(bool v) {
        Comma();
        out_ += v ? "true" : "false";
    }
    void Rectangle(const Rect& r) {
        Open('[');
        Integer(r.left);
        Integer(r.top);
        Integer(r.right);
        Integer(r.bottom);
        Close(']');
    }
    void Open(char c) {
        Comma();
        out_ += c;
        first_ = true;
    }
    void Close(char c) {
        out_ += c;
        first_ = false;
    }
    std::string Take() { return std::move(out_); }

private:
    void Comma() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string out_;
    bool first_ = true;
};

}  // namespace

std::string WorldToJson(const Simulation& sim, const Rect& area, std::uint64_t frame) {
    const SimSettings& s = sim.settings;
    JsonLine j;
    j.Open('{');
    j.Key("frame"), j.Integer(static_cast<long long>(frame));
    j.Key("area"), j.Rectangle(area);
    j.Key("preview"), j.Bool(sim.world.previewMode);
    j.Key("game"), j.Integer(s.game);
    j.Key("colors"), j.Integer(s.colors);
    j.Key("numBalls"), j.Integer(s.numBalls);
    j.Key("velocity"), j.Integer(s.velocity);
    j.Key("ballSize"), j.Number(s.ballSize);
    j.Key("ballSizeSel"), j.Bool(s.ballSizeSel);
    j.Key("accelY"), j.Number(s.accelY);
    j.Key("sparks"), j.Bool(s.sparks);
    j.Key("scenarioCounter"), j.Integer(s.scenarioCounter);
    j.Key("frameCount"), j.Integer(sim.world.frameCount);
    j.Key("palette"), j.Open('[');
    for (ColorRef c : sim.world.palette) j.Integer(c);
    j.Close(']');
    j.Key("liveBursts"), j.Integer(sim.sparkRing.LiveCount());
    j.Key("balls"), j.Open('[');
    for (const auto& bp : sim.world.balls) {
        const Ball& b = *bp;
        j.Open('{');
        j.Key("index"), j.Integer(b.index);
        j.Key("x"), j.Number(b.worldX);
        j.Key("y"), j.Number(b.worldY);
        j.Key("vx"), j.Number(b.vx);
        j.Key("vy"), j.Number(b.vy);
        j.Key("nextVx"), j.Number(b.nextVx);
        j.Key("nextVy"), j.Number(b.nextVy);
        j.Key("radius"), j.Number(b.radius);
        j.Key("scale"), j.Number(b.scale);
        j.Key("mass"), j.Number(b.mass);
        j.Key("color"), j.Integer(b.color);
        j.Key("colorLevel"), j.Integer(b.colorLevel);
        j.Key("bounds"), j.Rectangle(b.bounds);
        j.Close('}');
    }
    j.Close(']');
    j.Close('}');
    return j.Take();
}

}  // namespace vellora::simtool
