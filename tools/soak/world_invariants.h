// What must hold of a world between any two frames, whatever settings and area it was built from.
// The soak command and the world fuzzer check it after every frame.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "saver/sim/geometry.h"

namespace vellora {

struct GridCell;
struct Simulation;

namespace soak {

class WorldChecker {
public:
    // Call after every world setup (the grid's cells are new then).
    void SceneStarted() { columnStarts_.clear(); }

    // The first broken invariant, or empty when all hold:
    // - every number of every ball is finite, its radius and mass positive, its index its place;
    // - every centre lies inside the area (0, 0 to right, bottom);
    // - every ball is in exactly one cell list, the one its cell names, which is a cell of the grid;
    // - the spark ring's indices lie inside it, it is never full, and each live burst has life left.
    std::string Check(const Simulation& sim, const Rect& area);

private:
    bool IsGridCell(const Simulation& sim, const GridCell* cell);

    // Each column's first cell with its index, sorted by address, to find a cell's column by halving.
    std::vector<std::pair<const GridCell*, int>> columnStarts_;
    std::vector<std::uint8_t> seen_;  // per ball: met in a cell list
};

}  // namespace soak
}  // namespace vellora
