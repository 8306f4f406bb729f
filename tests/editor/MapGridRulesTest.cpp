// The map grids' rules without a window: cell mapping, the cell rule, and the
// copy, paste and fill-down texts.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "editor/MapGridRules.h"

TEST(MapGridRules, CellTexts)
{
    struct Case {
        const char* text;
        int32_t leading;  // what a cell of this text collects as
        bool parses;      // whether it is a whole base-10 integer
        long value;
    };
    const Case cases[] = {
        {"95", 95, true, 95},
        {"abc", 0, false, 0},
        {"123xyz", 123, false, 0},
        {"-40", -40, true, -40},
        {"+7", 7, true, 7},
        {"", 0, false, 0},
        {"-", 0, false, 0},
        {" 60", 0, true, 60},  // leading space: no number to collect, but a valid paste field
        {"60 ", 60, false, 0},
        {"60\r", 60, false, 0},
        {"99999999999", INT_MAX, true, 99999999999L},
        {"-99999999999", INT_MIN, true, -99999999999L},
        {"9223372036854775807", INT_MAX, true, LONG_MAX},
        {"-9223372036854775808", INT_MIN, true, LONG_MIN},
        {"9223372036854775808", INT_MAX, false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingInteger(c.text), c.leading) << '"' << c.text << '"';
        long value = 0;
        EXPECT_EQ(ParseInteger(c.text, value), c.parses) << '"' << c.text << '"';
        if (c.parses) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(MapGridRules, CellRuleOfEachGrid)
{
    struct Case {
        MapGridKind kind;
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {
        {MapGridKind::Blipper, "25", false},  {MapGridKind::Blipper, "0", true},
        {MapGridKind::Blipper, "30", true},   {MapGridKind::Blipper, "220", true},
        {MapGridKind::Blipper, "221", false}, {MapGridKind::Shifter, "150", true},
        {MapGridKind::Shifter, "151", false}, {MapGridKind::Shifter, "29", false},
        {MapGridKind::Shifter, "-30", false}, {MapGridKind::Shifter, "60x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellTextAllowed(c.typed, c.kind), c.accepted)
            << (c.kind == MapGridKind::Blipper ? "blipper " : "shifter ") << c.typed;
}

TEST(MapGridRules, GridCellsAreMapCellsFromTheSecond)
{
    int32_t map[kMapRows][kMapCells] = {};
    MapGridValues grid{};
    for (int row = 0; row < kMapGridRows; ++row)
        for (int col = 0; col < kMapGridCols; ++col)
            grid[row][col] = 100 * col + row;
    CollectMap(grid, map);
    for (int col = 0; col < kMapRows; ++col) {
        EXPECT_EQ(map[col][0], map[col][1]) << "the 1000 rpm cell repeats the 2000 rpm cell";
        EXPECT_EQ(map[col][6], 100 * col + 5);
        EXPECT_EQ(map[col][15], 100 * col + 14);
    }

    // A map row starting negative leaves its column (but never column 0).
    for (int cell = 0; cell < kMapCells; ++cell) {
        map[0][cell] = -1;
        map[3][cell] = -1;
    }
    map[2][8] = 77;
    MapGridValues shown = grid;
    ShowMap(map, shown);
    EXPECT_TRUE(ShowsMapRow(map, 0));
    EXPECT_FALSE(ShowsMapRow(map, 3));
    EXPECT_EQ(shown[7][0], -1);
    EXPECT_EQ(shown[7][2], 77);
    EXPECT_EQ(shown[7][3], grid[7][3]);
}

TEST(MapGridRules, CopyText)
{
    using Row = std::vector<std::optional<std::string>>;
    struct Case {
        const char* name;
        GridSelection selection;
        std::string text;
    };
    const Case cases[] = {
        {"2x2", {Row{std::nullopt, "31", "32"}, Row{std::nullopt, "41", "42"}}, "31\t32\r\n41\t42"},
        {"rows without selection add nothing",
         {Row{std::nullopt}, Row{"5"}, Row{std::nullopt}, Row{"6"}, Row{std::nullopt}},
         "5\r\n6"},
        {"gaps in a row", {Row{"1", std::nullopt, "3"}}, "1\t3"},
        {"empty cell texts stay", {Row{"", ""}, Row{""}}, "\t\r\n"},
        {"nothing selected", {Row{std::nullopt, std::nullopt}}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyText(c.selection), c.text) << c.name;
}

TEST(MapGridRules, PasteWrites)
{
    struct Case {
        const char* name;
        const char* text;
        MapGridKind kind;
        int top, left;
        std::vector<CellWrite> writes;
    };
    const Case cases[] = {
        {"stops at the first bad field",
         "60\t70\r\n200",
         MapGridKind::Shifter,
         4,
         2,
         {{4, 2, 60}, {4, 3, 70}}},
        {"the blipper takes 200",
         "60\t70\r\n200",
         MapGridKind::Blipper,
         4,
         2,
         {{4, 2, 60}, {4, 3, 70}, {5, 2, 200}}},
        {"fields past the right edge are ignored",
         "40\t41\t42",
         MapGridKind::Shifter,
         0,
         3,
         {{0, 3, 40}, {0, 4, 41}}},
        {"lines past the bottom are ignored",
         "30\n31\n32",
         MapGridKind::Shifter,
         13,
         0,
         {{13, 0, 30}, {14, 0, 31}}},
        {"a trailing line end adds nothing", "30\r\n", MapGridKind::Shifter, 0, 0, {{0, 0, 30}}},
        {"an empty field stops", "30\t\t31", MapGridKind::Shifter, 0, 0, {{0, 0, 30}}},
        {"a lone CR stays in the field", "30\r31", MapGridKind::Shifter, 0, 0, {}},
        {"LF alone ends a line", "0\n0", MapGridKind::Blipper, 1, 1, {{1, 1, 0}, {2, 1, 0}}},
        {"nothing", "", MapGridKind::Blipper, 0, 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PasteWrites(c.text, c.kind, c.top, c.left, kMapGridRows, kMapGridCols), c.writes) << c.name;
}

TEST(MapGridRules, FillDownCopiesTheTopCellOfEachColumn)
{
    struct Case {
        const char* name;
        std::vector<std::vector<bool>> selected;
        std::vector<CellCopy> copies;
    };
    const Case cases[] = {
        {"block", {{false, false}, {true, true}, {true, true}}, {{2, 0, 1}, {2, 1, 1}}},
        {"gaps keep the top", {{true}, {false}, {true}, {true}}, {{2, 0, 0}, {3, 0, 0}}},
        {"one cell", {{false, true}}, {}},
        {"columns apart", {{true, false}, {false, true}, {true, true}}, {{2, 0, 0}, {2, 1, 1}}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillDownCopies(c.selected), c.copies) << c.name;
}
