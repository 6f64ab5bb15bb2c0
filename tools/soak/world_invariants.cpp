#include "tools/soak/world_invariants.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <sstream>

#include "saver/sim/sim_state.h"

namespace vellora::soak {

namespace {

bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

bool WorldChecker::IsGridCell(const Simulation& sim, const GridCell* cell) {
    const CollisionGrid& grid = sim.grid;
    if (!grid.HasCells() || cell == nullptr) return false;
    if (columnStarts_.empty()) {
        columnStarts_.reserve(static_cast<std::size_t>(grid.columnCount));
        for (int i = 0; i < grid.columnCount; ++i) columnStarts_.emplace_back(grid.columns[i], i);
        std::sort(columnStarts_.begin(), columnStarts_.end(),
                  [](const auto& a, const auto& b) { return std::less<const GridCell*>()(a.first, b.first); });
    }
    auto it = std::upper_bound(columnStarts_.begin(), columnStarts_.end(), cell,
                               [](const GridCell* c, const auto& entry) { return std::less<const GridCell*>()(c, entry.first); });
    if (it == columnStarts_.begin()) return false;
    --it;
    const GridCell* first = it->first;
    return !std::less<const GridCell*>()(cell, first) && std::less<const GridCell*>()(cell, first + grid.rowCount);
}

std::string WorldChecker::Check(const Simulation& sim, const Rect& area) {
    const auto& balls = sim.world.balls;
    const std::size_t n = balls.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Ball* b = balls[i].get();
        auto fail = [&](auto&&... parts) {
            std::ostringstream why;
            why << "ball " << i << " ";
            (why << ... << parts);
            return why.str();
        };
        if (b == nullptr) return fail("is null");
        if (b->index != static_cast<std::int32_t>(i)) return fail("has index ", b->index);
        if (!AllFinite({b->worldX, b->worldY, b->vx, b->vy, b->nextVx, b->nextVy, b->radius, b->mass, b->scale}))
            return fail("has a number that is not finite");
        if (!(b->radius > 0.0) || !(b->mass > 0.0)) return fail("has radius ", b->radius, ", mass ", b->mass);
        if (!(b->worldX >= 0.0 && b->worldX <= area.right && b->worldY >= 0.0 && b->worldY <= area.bottom))
            return fail("is centred at ", b->worldX, ", ", b->worldY, " outside ", area.right, " x ", area.bottom);
        if (!IsGridCell(sim, b->cell)) return fail("names no cell of the grid");
    }
    // Each list is walked once, from the ball at its head: every node must be a ball of the world
    // that names this cell, and every ball must be met exactly once.
    seen_.assign(n, 0);
    std::size_t filed = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const GridCell* cell = balls[i]->cell;
        if (cell->head != balls[i].get()) continue;
        for (const GridNode* node = cell->head; node != nullptr; node = node->nextInCell) {
            if (++filed > n) return "the cell lists hold more nodes than there are balls";
            const Ball* m = static_cast<const Ball*>(node);
            const std::int32_t k = m->index;
            if (k < 0 || static_cast<std::size_t>(k) >= n || balls[static_cast<std::size_t>(k)].get() != m)
                return "a cell list holds a node that is no ball of the world";
            if (m->cell != cell) return "ball " + std::to_string(k) + " is in the list of a cell it does not name";
            if (seen_[static_cast<std::size_t>(k)]++ != 0) return "ball " + std::to_string(k) + " is in a list twice";
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        if (seen_[i] == 0) return "ball " + std::to_string(i) + " is not in the list of the cell it names";

    const SparkRing& ring = sim.sparkRing;
    if (ring.bursts != nullptr) {
        if (ring.capacity <= 0 || ring.oldest < 0 || ring.oldest >= ring.capacity || ring.nextFree < 0 ||
            ring.nextFree >= ring.capacity)
            return "the spark ring's indices leave it: oldest " + std::to_string(ring.oldest) + ", next free " +
                   std::to_string(ring.nextFree) + ", capacity " + std::to_string(ring.capacity);
        if (ring.LiveCount() >= ring.capacity) return "the spark ring is over full";
        std::string bad;
        ring.ForEachLive([&](const Spark* burst) {
            if (bad.empty() && (burst[0].life < 1 || burst[0].life > kSparkLife))
                bad = "a live burst has life " + std::to_string(burst[0].life);
        });
        if (!bad.empty()) return bad;
    }
    return {};
}

}  // namespace vellora::soak
