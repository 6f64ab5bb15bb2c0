#include <gtest/gtest.h>

#include <vector>

#include "saver/sim/grid.h"

namespace vellora {
namespace {

std::vector<const GridNode*> ListOf(const GridCell& cell) {
    std::vector<const GridNode*> out;
    for (const GridNode* n = cell.head; n; n = n->nextInCell) out.push_back(n);
    return out;
}

struct GridFixture : ::testing::Test {
    CollisionGrid grid;
    GridNode nodes[4];
    void SetUp() override { grid.BuildCells(1024, 768, 120, 120); }
};

TEST_F(GridFixture, CellCountsCoverTheAreaEdgesIncluded) {
    EXPECT_EQ(grid.columnCount, 9);
    EXPECT_EQ(grid.rowCount, 7);
    EXPECT_TRUE(grid.Contains(1024 / 120, 768 / 120));
    EXPECT_FALSE(grid.Contains(9, 0));
    EXPECT_FALSE(grid.Contains(0, -1));
    grid.InsertNode(&nodes[0], 1024, 768);
    EXPECT_EQ(nodes[0].cell, &grid.Cell(8, 6));
}

TEST_F(GridFixture, InsertPushesAtTheFront) {
    for (auto& n : nodes) grid.InsertNode(&n, 130, 10);
    EXPECT_EQ(ListOf(grid.Cell(1, 0)), (std::vector<const GridNode*>{&nodes[3], &nodes[2], &nodes[1], &nodes[0]}));
    for (auto& n : nodes) EXPECT_EQ(n.cell, &grid.Cell(1, 0));
}

TEST_F(GridFixture, RefileWithinTheCellKeepsTheOrder) {
    for (auto& n : nodes) grid.InsertNode(&n, 10, 10);
    grid.RefileNode(&nodes[2], 119, 119);
    EXPECT_EQ(ListOf(grid.Cell(0, 0)), (std::vector<const GridNode*>{&nodes[3], &nodes[2], &nodes[1], &nodes[0]}));
}

TEST_F(GridFixture, RefileMovesHeadMiddleAndTail) {
    struct Case {
        int moved;
        std::vector<int> rest;
    };
    // List order is 3, 2, 1, 0: 3 is the head, 0 the tail.
    for (const Case& c : {Case{3, {2, 1, 0}}, Case{1, {3, 2, 0}}, Case{0, {3, 2, 1}}}) {
        CollisionGrid g;
        GridNode n[4];
        g.BuildCells(1024, 768, 120, 120);
        for (auto& node : n) g.InsertNode(&node, 10, 10);
        GridNode other;
        g.InsertNode(&other, 250, 10);
        g.RefileNode(&n[c.moved], 250, 10);
        std::vector<const GridNode*> rest;
        for (int i : c.rest) rest.push_back(&n[i]);
        EXPECT_EQ(ListOf(g.Cell(0, 0)), rest) << c.moved;
        EXPECT_EQ(ListOf(g.Cell(2, 0)), (std::vector<const GridNode*>{&n[c.moved], &other})) << c.moved;
        EXPECT_EQ(n[c.moved].cell, &g.Cell(2, 0));
    }
}

TEST_F(GridFixture, DiscardTwiceIsHarmless) {
    grid.DiscardCells();
    EXPECT_FALSE(grid.HasCells());
    grid.DiscardCells();
    EXPECT_FALSE(grid.HasCells());
}

TEST_F(GridFixture, CentresBeyondTheBuiltAreaStayInTheGrid) {
    // A window that grew after the scene began: the node lands in the nearest edge cell.
    grid.InsertNode(&nodes[0], 5000, 5000);
    EXPECT_EQ(nodes[0].cell, &grid.Cell(8, 6));
    grid.RefileNode(&nodes[0], -20, 300);
    EXPECT_EQ(nodes[0].cell, &grid.Cell(0, 2));
}

}  // namespace
}  // namespace vellora
