#include "saver/sim/grid.h"

#include <algorithm>

namespace vellora {

namespace {

std::int64_t CellCount(std::int64_t width, std::int64_t height, std::int64_t cw, std::int64_t ch) {
    return (width / cw + 1) * (height / ch + 1);
}

// The smallest whole factor by which both cell sides must grow for the grid to have at most
// kMaxGridCells cells. The count only falls as the factor grows.
std::int64_t CellGrowth(std::int64_t width, std::int64_t height, std::int64_t cw, std::int64_t ch) {
    auto fits = [&](std::int64_t k) {
        const std::int64_t w = std::min(cw * k, kMaxCellSide), h = std::min(ch * k, kMaxCellSide);
        return CellCount(width, height, w, h) <= kMaxGridCells;
    };
    if (fits(1)) return 1;
    std::int64_t tooSmall = 1, enough = 2;
    while (!fits(enough)) {
        tooSmall = enough;
        enough *= 2;
    }
    while (enough - tooSmall > 1) {
        const std::int64_t mid = tooSmall + (enough - tooSmall) / 2;
        (fits(mid) ? enough : tooSmall) = mid;
    }
    return enough;
}

}  // namespace

void CollisionGrid::BuildCells(std::int32_t width, std::int32_t height, std::int32_t cw, std::int32_t ch) {
    DiscardCells();
    const std::int64_t w = std::max(width, 0), h = std::max(height, 0);
    std::int64_t cellW = std::max(cw, 1), cellH = std::max(ch, 1);
    // A tiny ball on a huge area would ask for billions of cells; larger cells find every pair
    // the small ones would (a cell may be larger than four radii, never smaller).
    const std::int64_t k = CellGrowth(w, h, cellW, cellH);
    cellW = std::min(cellW * k, kMaxCellSide);
    cellH = std::min(cellH * k, kMaxCellSide);
    cellWidth = static_cast<std::int32_t>(cellW);
    cellHeight = static_cast<std::int32_t>(cellH);
    columnCount = static_cast<std::int32_t>(w / cellW + 1);
    rowCount = static_cast<std::int32_t>(h / cellH + 1);
    columns = new GridCell*[columnCount];
    for (std::int32_t i = 0; i < columnCount; ++i) columns[i] = new GridCell[rowCount];
}

void CollisionGrid::DiscardCells() {
    if (!columns) return;
    for (std::int32_t i = 0; i < columnCount; ++i) delete[] columns[i];
    delete[] columns;
    columns = nullptr;
}

GridCell& CollisionGrid::CellAt(std::int32_t x, std::int32_t y) {
    std::int32_t i = x / cellWidth, j = y / cellHeight;
    if (i < 0) i = 0;
    else if (i >= columnCount) i = columnCount - 1;
    if (j < 0) j = 0;
    else if (j >= rowCount) j = rowCount - 1;
    return columns[i][j];
}

void CollisionGrid::InsertNode(GridNode* node, std::int32_t x, std::int32_t y) {
    GridCell& target = CellAt(x, y);
    node->nextInCell = target.head;
    node->cell = &target;
    target.head = node;
}

void CollisionGrid::RefileNode(GridNode* node, std::int32_t x, std::int32_t y) {
    GridCell& target = CellAt(x, y);
    if (node->cell == &target) return;
    if (GridCell* from = node->cell) {
        if (from->head == node) {
            from->head = node->nextInCell;
        } else {
            GridNode* prev = from->head;
            while (prev && prev->nextInCell != node) prev = prev->nextInCell;
            if (prev) prev->nextInCell = node->nextInCell;
        }
    }
    node->nextInCell = target.head;
    node->cell = &target;
    target.head = node;
}

}  // namespace vellora
