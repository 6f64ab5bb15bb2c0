// The broad phase: a uniform grid of cells over the drawing area, each holding an intrusive list
// of the balls whose truncated centre lies in it.
#pragma once

#include <cstdint>

namespace vellora {

struct GridCell;

// The most cells a grid holds, whatever the area and the cell size (a few megabytes).
constexpr std::int64_t kMaxGridCells = std::int64_t{1} << 18;
constexpr std::int64_t kMaxCellSide = 0x7FFFFFFF;

// The link by which a ball sits in one cell's list.
class GridNode {
public:
    virtual ~GridNode() = default;
    GridNode* nextInCell = nullptr;
    GridCell* cell = nullptr;
};

struct GridCell {
    virtual ~GridCell() = default;
    GridNode* head = nullptr;
};

class CollisionGrid {
public:
    CollisionGrid() = default;
    CollisionGrid(const CollisionGrid&) = delete;
    CollisionGrid& operator=(const CollisionGrid&) = delete;
    virtual ~CollisionGrid() { DiscardCells(); }

    // width / cellWidth + 1 columns of height / cellHeight + 1 empty cells. When that would be
    // more than kMaxGridCells, both sides grow by the smallest whole factor that brings the count
    // within it; a side below 1 is taken as 1 and a negative extent as 0.
    void BuildCells(std::int32_t width, std::int32_t height, std::int32_t cellWidth, std::int32_t cellHeight);
    void DiscardCells();
    // Pushes the node at the front of the cell that holds (x, y).
    void InsertNode(GridNode* node, std::int32_t x, std::int32_t y);
    // Moves the node to the cell that holds (x, y), unless it is there already.
    void RefileNode(GridNode* node, std::int32_t x, std::int32_t y);
    // 0 <= column < columnCount, 0 <= row < rowCount; the caller tests the bounds.
    GridCell& Cell(std::int32_t column, std::int32_t row) { return columns[column][row]; }
    bool Contains(std::int32_t column, std::int32_t row) const {
        return column >= 0 && column < columnCount && row >= 0 && row < rowCount;
    }
    bool HasCells() const { return columns != nullptr; }

    GridCell** columns = nullptr;
    std::int32_t cellWidth = 0;
    std::int32_t cellHeight = 0;
    std::int32_t rowCount = 0;
    std::int32_t columnCount = 0;

private:
    // The cell for a truncated centre; indices beyond the built area are held at its last cell,
    // so a window that grew after setup cannot reach outside the grid.
    GridCell& CellAt(std::int32_t x, std::int32_t y);
};

}  // namespace vellora
