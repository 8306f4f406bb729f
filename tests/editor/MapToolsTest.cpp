#include <gtest/gtest.h>

#include "editor/MapTools.h"

namespace {

struct Cell {
    int row;
    int col;
    int32_t value;
};

MapGridValues Grid(std::initializer_list<Cell> cells)
{
    MapGridValues grid{};
    for (auto& row : grid)
        row.fill(60);
    for (const Cell& cell : cells)
        grid[cell.row][cell.col] = cell.value;
    return grid;
}

// The block rows [top, bottom] by columns [left, right].
MapCellSelection Block(int top, int left, int bottom, int right)
{
    MapCellSelection selected{};
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right; ++col)
            selected[row][col] = true;
    return selected;
}

}  // namespace

TEST(MapTools, RoundsHalfAwayFromZero)
{
    const struct {
        long long numerator, denominator, rounded;
    } cases[] = {{9, 2, 5}, {-9, 2, -5}, {7, 2, 4},   {10, 4, 3},
                 {5, 3, 2}, {4, 3, 1},   {-7, 3, -2}, {1, -2, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundedQuotient(c.numerator, c.denominator), c.rounded)
            << c.numerator << "/" << c.denominator;
}

TEST(MapTools, ToolCellsAreTheShownSelectionOrTheCursor)
{
    std::vector<std::vector<bool>> selected(kMapGridRows, std::vector<bool>(kMapGridCols));
    selected[3][0] = selected[3][1] = true;
    const MapCellSelection allShown = ToolCells(selected, {true, true, true, true, true}, {9, 4});
    EXPECT_TRUE(allShown[3][0] && allShown[3][1] && !allShown[9][4]);
    const MapCellSelection oneColumn = ToolCells(selected, {true, false, false, false, false}, {9, 0});
    EXPECT_TRUE(oneColumn[3][0] && !oneColumn[3][1] && !oneColumn[9][0]);
    selected[3][0] = false;  // only a hidden cell: the cursor
    const MapCellSelection cursor = ToolCells(selected, {true, false, false, false, false}, {9, 0});
    EXPECT_TRUE(cursor[9][0] && !cursor[3][1]);
}

TEST(MapTools, AddSetAndScaleKeepZeroAndRange)
{
    const MapGridValues grid =
        Grid({{0, 0, 0}, {1, 0, 149}, {2, 0, 32}, {3, 0, 45}, {4, 0, 140}, {5, 0, 31}});
    const MapCellSelection rows0to5 = Block(0, 0, 5, 0);
    const struct {
        const char* what;
        MapToolOutcome outcome;
        std::vector<CellWrite> writes;
    } cases[] = {
        {"+1",
         AddToCells(grid, rows0to5, MapGridKind::Shifter, 1),
         {{1, 0, 150}, {2, 0, 33}, {3, 0, 46}, {4, 0, 141}, {5, 0, 32}}},
        {"+5 stops at 150", AddToCells(grid, Block(1, 0, 1, 0), MapGridKind::Shifter, 5), {{1, 0, 150}}},
        {"+5 blipper", AddToCells(grid, Block(1, 0, 1, 0), MapGridKind::Blipper, 5), {{1, 0, 154}}},
        {"-5 stops at 30", AddToCells(grid, Block(2, 0, 2, 0), MapGridKind::Shifter, -5), {{2, 0, 30}}},
        {"-1 at 30 after 31", AddToCells(grid, Block(5, 0, 5, 0), MapGridKind::Shifter, -1), {{5, 0, 30}}},
        {"zero stays zero", AddToCells(grid, Block(0, 0, 0, 0), MapGridKind::Shifter, 10), {}},
        {"set 0 and 45",
         SetCells(grid, Block(0, 0, 1, 0), MapGridKind::Shifter, 45),
         {{0, 0, 45}, {1, 0, 45}}},
        {"set off", SetCells(grid, Block(1, 0, 1, 0), MapGridKind::Shifter, 0), {{1, 0, 0}}},
        {"set 151 shifter", SetCells(grid, Block(1, 0, 1, 0), MapGridKind::Shifter, 151), {}},
        {"set 25", SetCells(grid, Block(1, 0, 1, 0), MapGridKind::Blipper, 25), {}},
        {"110 %",
         ScaleCells(grid, rows0to5, MapGridKind::Shifter, 110),
         {{1, 0, 150}, {2, 0, 35}, {3, 0, 50}, {4, 0, 150}, {5, 0, 34}}},
        {"90 %",
         ScaleCells(grid, Block(3, 0, 5, 0), MapGridKind::Shifter, 90),
         {{3, 0, 41}, {4, 0, 126}, {5, 0, 30}}},
        {"0 %", ScaleCells(grid, rows0to5, MapGridKind::Shifter, 0), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.outcome.writes, c.writes) << c.what;
    EXPECT_EQ(SetCells(grid, rows0to5, MapGridKind::Shifter, 151).refusal, MapToolRefusal::ValueOutOfRange);
    EXPECT_EQ(SetCells(grid, rows0to5, MapGridKind::Blipper, 151).refusal, MapToolRefusal::None);
    EXPECT_EQ(ScaleCells(grid, rows0to5, MapGridKind::Shifter, 0).refusal, MapToolRefusal::NoPercentage);
}

TEST(MapTools, InterpolateAlongColumnsAndRows)
{
    // 40 at 3,000 rpm and 100 at 16,000 rpm, 60 between.
    const MapGridValues column = Grid({{1, 0, 40}, {14, 0, 100}});
    std::vector<CellWrite> line;
    const int expected[] = {45, 49, 54, 58, 63, 68, 72, 77, 82, 86, 91, 95};
    for (int row = 2; row <= 13; ++row)
        line.push_back({row, 0, expected[row - 2]});
    EXPECT_EQ(InterpolateVertically(column, Block(1, 0, 14, 0), MapGridKind::Shifter).writes, line);
    // A zero cell is neither an end nor changed; the ends are the outermost cut times.
    const MapGridValues gap = Grid({{0, 2, 0}, {1, 2, 40}, {3, 2, 0}, {5, 2, 80}, {6, 2, 0}});
    EXPECT_EQ(InterpolateVertically(gap, Block(0, 2, 6, 2), MapGridKind::Shifter).writes,
              (std::vector<CellWrite>{{2, 2, 50}, {4, 2, 70}}));
    // One selected row has nothing to interpolate vertically.
    EXPECT_TRUE(InterpolateVertically(gap, Block(1, 0, 1, 4), MapGridKind::Shifter).writes.empty());
    // Along a row: 40 + 21 / 4 per column; 50.5 goes up.
    const MapGridValues row = Grid({{7, 0, 40}, {7, 4, 61}});
    const std::vector<CellWrite> across{{7, 1, 45}, {7, 2, 51}, {7, 3, 56}};
    EXPECT_EQ(InterpolateHorizontally(row, Block(7, 0, 7, 4), MapGridKind::Shifter).writes, across);
    // A single row is the line between its two ends for the block too.
    EXPECT_EQ(InterpolateBlock(row, Block(7, 0, 7, 4), MapGridKind::Shifter).writes, across);
}

TEST(MapTools, InterpolateBlockFromItsCorners)
{
    const MapGridValues grid = Grid({{4, 1, 40}, {4, 3, 60}, {6, 1, 80}, {6, 3, 100}, {5, 3, 0}});
    // (5, 3) stays 0; (5, 1) is 60 already; the others weigh the corners.
    EXPECT_EQ(InterpolateBlock(grid, Block(4, 1, 6, 3), MapGridKind::Shifter).writes,
              (std::vector<CellWrite>{{4, 2, 50}, {5, 2, 70}, {6, 2, 90}}));
    const MapGridValues zeroCorner = Grid({{6, 3, 0}});
    const MapToolOutcome refused = InterpolateBlock(zeroCorner, Block(4, 1, 6, 3), MapGridKind::Shifter);
    EXPECT_TRUE(refused.writes.empty());
    EXPECT_EQ(refused.refusal, MapToolRefusal::ZeroCorner);
    EXPECT_EQ(refused.at, (GridCell{6, 3}));
}

TEST(MapTools, SmoothTakesTheValuesBefore)
{
    // A column: the 0 below row 1 is not a neighbour.
    const MapGridValues column = Grid({{0, 0, 40}, {1, 0, 60}, {2, 0, 0}, {3, 0, 80}});
    EXPECT_EQ(SmoothCells(column, Block(0, 0, 3, 0), MapGridKind::Shifter).writes,
              (std::vector<CellWrite>{{0, 0, 50}, {1, 0, 50}}));
    // A 2 x 2 block: 161 / 3 rounds up, 181 / 3 down.
    const MapGridValues block = Grid({{8, 2, 40}, {8, 3, 50}, {9, 2, 60}, {9, 3, 71}});
    EXPECT_EQ(SmoothCells(block, Block(8, 2, 9, 3), MapGridKind::Shifter).writes,
              (std::vector<CellWrite>{{8, 2, 50}, {8, 3, 54}, {9, 2, 57}, {9, 3, 60}}));
}

TEST(MapTools, PasteSpecialCombinesCutTimes)
{
    const MapGridValues grid = Grid({{2, 2, 0}});
    MapCellSelection shown = Block(0, 0, kMapGridRows - 1, kMapGridCols - 1);
    const char* const text = "10\t-5\r\n0\t20\r\n";
    const struct {
        PasteOperation operation;
        const char* clipboard;
        std::vector<CellWrite> writes;
    } cases[] = {
        // (2, 1) gets a 0 from the clipboard, (2, 2) is 0 itself: both stay.
        {PasteOperation::Add, text, {{1, 1, 70}, {1, 2, 55}}},
        {PasteOperation::Subtract, text, {{1, 1, 50}, {1, 2, 65}}},
        {PasteOperation::MultiplyPercent,
         "110\t90\t200\t50\t80",
         {{1, 1, 66}, {1, 2, 54}, {1, 3, 120}, {1, 4, 30}}},
        {PasteOperation::Average, "81\n145", {{1, 1, 71}, {2, 1, 103}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasteSpecialCells(grid, shown, MapGridKind::Shifter, c.clipboard, 1, 1, c.operation).writes,
                  c.writes)
            << c.clipboard;
    shown[1][2] = false;  // a hidden column keeps its cells
    EXPECT_EQ(PasteSpecialCells(grid, shown, MapGridKind::Shifter, text, 1, 1, PasteOperation::Add).writes,
              (std::vector<CellWrite>{{1, 1, 70}}));
    const MapToolOutcome notCells =
        PasteSpecialCells(grid, shown, MapGridKind::Shifter, "10\tabc", 1, 1, PasteOperation::Add);
    EXPECT_TRUE(notCells.writes.empty());
    EXPECT_EQ(notCells.refusal, MapToolRefusal::NoClipboardCells);
}
