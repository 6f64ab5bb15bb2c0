// The host benchmarks: the frame step at growing numbers of balls (with the grid, with all pairs,
// and the same balls in two physics engines), and the frame renderer on the software raster
// against a full-window redraw. Prints Google Benchmark's own report, then the figures as rows of
// a markdown table (to the file named by --rows=FILE, else to stdout).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_format.h"
#include "bench/bench_world.h"
#include "bench/peer_worlds.h"
#include "saver/render/soft_canvas.h"

namespace vellora::bench {
namespace {

const std::int32_t kBallCounts[] = {20, 100, 1000, 10000, 100000};
// All pairs at 100,000 balls would take about 100 times as long as at 10,000 (seconds a frame).
constexpr std::int32_t kMaxAllPairs = 10000;
const std::int32_t kRenderBallCounts[] = {20, 100};
const Rect kWindow{0, 0, kScreenWidth, kScreenHeight};

// Google Benchmark calls a benchmark function several times while it settles the iteration count,
// so a world is built and warmed up once and kept until another benchmark needs another world.
// It is kept for one scene of timed frames only, as the saver itself starts a new scene every so
// often: a world left running for many thousands of frames drifts away from anything the saver
// shows (in our step at 10,000 balls the speeds start to run away after some 2,000 frames; the
// engines drift their own ways). So after kSceneFrames timed frames the world is built and warmed
// up again with the timer stopped; every scene starts from the same state, and the timed frames
// are frames 300 to 1,300 of a scene.
constexpr int kSceneFrames = 1000;

template <typename T>
class Scenes {
public:
    using Make = std::function<std::unique_ptr<T>()>;

    static Scenes& For(const std::string& key, Make make) {
        static Scenes scenes;
        if (scenes.key_ != key) {
            scenes.world_.reset();
            scenes.key_ = key;
            scenes.make_ = std::move(make);
            scenes.framesLeft_ = 0;
        }
        return scenes;
    }

    // The world for the next timed frame.
    T& Frame(benchmark::State& state) {
        if (framesLeft_ == 0) {
            state.PauseTiming();
            world_.reset();
            world_ = make_();
            framesLeft_ = kSceneFrames;
            state.ResumeTiming();
        }
        --framesLeft_;
        return *world_;
    }

    T* Current() const { return world_.get(); }

private:
    std::string key_;
    Make make_;
    std::unique_ptr<T> world_;
    int framesLeft_ = 0;
};

struct OurWorld {
    explicit OurWorld(const Rect& a) : area(a), sim(kSeed) {}
    Rect area;
    Simulation sim;
};

std::unique_ptr<OurWorld> MakeOurWorld(std::int32_t n, const Rect& area, bool allPairs) {
    auto w = std::make_unique<OurWorld>(area);
    BuildWorld(w->sim, area, n);
    WarmUp(w->sim, area);
    if (allPairs) UseSingleCell(w->sim, area);
    return w;
}

void PerBallCounters(benchmark::State& state, std::int32_t n, double speedSquaredSum) {
    state.counters["balls"] = n;
    state.counters["per_ball"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Root mean square speed in pixels per frame at the end: the worlds should stay alike.
    state.counters["rms_speed"] = std::sqrt(speedSquaredSum / n);
}

void BM_StepWorld(benchmark::State& state, bool allPairs, std::int32_t n) {
    const Rect area = AreaFor(n);
    auto& scenes = Scenes<OurWorld>::For((allPairs ? "pairs/" : "grid/") + std::to_string(n),
                                         [=] { return MakeOurWorld(n, area, allPairs); });
    for (auto _ : state) StepWorld(scenes.Frame(state).sim, area);
    const Simulation& sim = scenes.Current()->sim;
    double sum = 0.0;
    for (const auto& b : sim.world.balls) sum += b->nextVx * b->nextVx + b->nextVy * b->nextVy;
    PerBallCounters(state, n, sum);
    state.counters["live_bursts"] = sim.sparkRing.LiveCount();
}

void BM_Peer(benchmark::State& state, bool box2d, std::int32_t n) {
    const Rect area = AreaFor(n);
    auto& scenes = Scenes<PeerWorld>::For((box2d ? "box2d/" : "chipmunk/") + std::to_string(n), [=] {
        Simulation start(kSeed);
        BuildWorld(start, area, n);  // the same balls, speeds and box as ours
        auto peer = box2d ? MakeBox2DWorld(Snapshot(start), area) : MakeChipmunkWorld(Snapshot(start), area);
        for (int f = 0; f < kWarmupFrames; ++f) peer->Step();
        return peer;
    });
    for (auto _ : state) scenes.Frame(state).Step();
    PerBallCounters(state, n, scenes.Current()->SpeedSquaredSum());
}

struct RenderWorld {
    explicit RenderWorld(std::int32_t n) : sim(kSeed), canvas(kScreenWidth, kScreenHeight) {
        BuildWorld(sim, kWindow, n);
        WarmUp(sim, kWindow);
    }
    Simulation sim;
    SoftCanvas canvas;
};

// The same frame is drawn again and again: drawing changes nothing that the next frame's drawing
// depends on, so every iteration does the work of one real frame.
void BM_Render(benchmark::State& state, bool full, std::int32_t n) {
    static std::unique_ptr<RenderWorld> world;
    if (!world || static_cast<std::int32_t>(world->sim.world.balls.size()) != n) {
        world.reset();
        world = std::make_unique<RenderWorld>(n);
        RenderFrame(world->sim, world->canvas);  // bounds as drawn, before counting
    }
    RenderWorld& w = *world;
    for (auto _ : state) {
        if (full) FullRedraw(w.sim, w.canvas);
        else RenderFrame(w.sim, w.canvas);
    }
    state.counters["copied_px"] = full ? static_cast<double>(kWindow.Width()) * kWindow.Height()
                                       : static_cast<double>(DirtyPixels(w.sim, kWindow));
    state.counters["window_px"] = static_cast<double>(kWindow.Width()) * kWindow.Height();
}

// Collects every run for the table while the console report goes on as usual.
class TableReporter : public benchmark::ConsoleReporter {
public:
    // Plain text: the report usually goes to a file as well.
    TableReporter() : ConsoleReporter(OO_Tabular) {}

    struct Result {
        double seconds = 0.0;  // CPU time per iteration
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            Result r;
            r.seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters) r.counters[name] = counter.value;
            results_[run.benchmark_name()] = r;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Result* Find(const std::string& name) const {
        const auto it = results_.find(name);
        return it == results_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Result> results_;
};

std::string Figures(const TableReporter::Result& r, std::int32_t n) {
    return Duration(r.seconds) + "/frame, " + Duration(r.seconds / n) + "/ball (rms speed " +
           Fixed(r.counters.at("rms_speed"), 1) + " px/frame)";
}

std::string Name(const char* kind, std::int32_t n) { return std::string(kind) + "/" + std::to_string(n); }

void PrintRows(const TableReporter& rep, std::FILE* out) {
    for (const std::int32_t n : kBallCounts) {
        const Rect area = AreaFor(n);
        const std::string scase = Count(n) + " balls, " + std::to_string(area.Width()) + " x " + std::to_string(area.Height());
        const auto* grid = rep.Find(Name("StepWorld/grid", n));
        if (!grid) continue;
        std::string inside = "";
        if (grid->seconds > 0) {
            const double f = 0.002 / grid->seconds;
            inside = f >= 1 ? Fixed(f, f < 10 ? 1 : 0) + "x inside a 2 ms frame" : Fixed(1 / f, 1) + " frames of 2 ms";
        }
        Row(out, "StepWorld (grid)", scase, Figures(*grid, n), inside);
        const struct {
            const char* kind;
            const char* label;
        } others[] = {{"StepWorld/all-pairs", "StepWorld (all pairs)"},
                      {"Box2D/step", "Box2D 2.4.1 step (8 velocity, 3 position iterations)"},
                      {"Chipmunk/step", "Chipmunk 7.0.3 step (10 iterations)"}};
        for (const auto& o : others) {
            const auto* r = rep.Find(Name(o.kind, n));
            if (!r) {
                if (std::strcmp(o.kind, "StepWorld/all-pairs") == 0 && n > kMaxAllPairs) {
                    Row(out, o.label, scase, "not run: about a minute a frame", "");
                }
                continue;
            }
            Row(out, o.label, scase, Figures(*r, n), Fixed(r->seconds / grid->seconds, 1) + "x the grid's time");
        }
    }
    for (const std::int32_t n : kRenderBallCounts) {
        const auto* dirty = rep.Find(Name("RenderFrame/soft", n));
        const auto* full = rep.Find(Name("FullRedraw/soft", n));
        if (!dirty || !full) continue;
        const double window = dirty->counters.at("window_px"), copied = dirty->counters.at("copied_px");
        const std::string rcase = Count(n) + " balls, 1024 x 768";
        Row(out, "RenderFrame, software raster", rcase,
            Duration(dirty->seconds) + "/frame; " + Count(static_cast<std::int64_t>(copied)) + " px copied (" +
                Fixed(100.0 * copied / window, 1) + "% of the window)",
            "");
        Row(out, "Full-window redraw, software raster", rcase,
            Duration(full->seconds) + "/frame; " + Count(static_cast<std::int64_t>(window)) + " px filled and copied",
            Fixed(full->seconds / dirty->seconds, 1) + "x RenderFrame's time, " + Fixed(window / copied, 1) + "x its pixels");
    }
}

// CPU time: each benchmark runs on one thread, and the machine may be busy with other work.
void Tune(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMicrosecond); }

void RegisterAll() {
    for (const std::int32_t n : kBallCounts) {
        Tune(benchmark::RegisterBenchmark(Name("StepWorld/grid", n).c_str(), BM_StepWorld, false, n));
        if (n <= kMaxAllPairs) Tune(benchmark::RegisterBenchmark(Name("StepWorld/all-pairs", n).c_str(), BM_StepWorld, true, n));
        Tune(benchmark::RegisterBenchmark(Name("Box2D/step", n).c_str(), BM_Peer, true, n));
        Tune(benchmark::RegisterBenchmark(Name("Chipmunk/step", n).c_str(), BM_Peer, false, n));
    }
    for (const std::int32_t n : kRenderBallCounts) {
        Tune(benchmark::RegisterBenchmark(Name("RenderFrame/soft", n).c_str(), BM_Render, false, n));
        Tune(benchmark::RegisterBenchmark(Name("FullRedraw/soft", n).c_str(), BM_Render, true, n));
    }
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) {
    std::string rowsPath;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0) rowsPath = argv[i] + 7;
        else args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    vellora::bench::RegisterAll();
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    vellora::bench::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::FILE* out = rowsPath.empty() ? stdout : std::fopen(rowsPath.c_str(), "w");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", rowsPath.c_str());
        return 1;
    }
    vellora::bench::PrintRows(reporter, out);
    if (out != stdout) std::fclose(out);
    return 0;
}
