#include "saver/sim/grid.h"

namespace vellora {

void CollisionGrid::BuildCells(std::int32_t width, std::int32_t height, std::int32_t cw, std::int32_t ch) {
    DiscardCells();
    cellWidth = cw;
    cellHeight = ch;
    columnCount = width / cw + 1;
    rowCount = height / ch + 1;
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
