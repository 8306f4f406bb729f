// The two map grids without their windows: which cell shows which map cell,
// the cell rule, and the texts of copy, paste and fill down.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/DeviceConfiguration.h"

// 15 rows (2000 ... 16000 rpm) by 5 columns (one per gear row of the map).
inline constexpr int kMapGridRows = 15;
inline constexpr int kMapGridCols = 5;
static_assert(kMapGridCols == kMapRows, "one grid column per gear row of a map");
static_assert(kMapGridRows == kMapCells - 1, "the 1000 rpm cell has no grid cell");

enum class MapGridKind { Blipper, Shifter };

// The engine speed of a grid row: 2000 rpm and then every 1000 rpm.
constexpr long MapGridRowRpm(int row)
{
    return 2000L + 1000L * row;
}

// Cell values, [row][column].
using MapGridValues = std::array<std::array<int32_t, kMapGridCols>, kMapGridRows>;

// Grid cell (r, c) is cell r + 1 of map row c; cell 0 repeats cell 1.
void CollectMap(const MapGridValues& grid, int32_t (&map)[kMapRows][kMapCells]);
// A map row that starts negative is absent in its generation's image: its
// column is not shown (column 0 always is).
bool ShowsMapRow(const int32_t (&map)[kMapRows][kMapCells], int column);
void ShowMap(const int32_t (&map)[kMapRows][kMapCells], MapGridValues& grid);

// The leading decimal integer of a cell text (optional sign, then digits);
// text that does not start with a number gives 0. Saturates at the int range.
int32_t LeadingInteger(std::string_view text);
// A whole text that is a base-10 integer of the range of long: optional
// leading white space, optional sign, digits, nothing after them.
bool ParseInteger(std::string_view text, long& value);
// Blipper cells: 0 or 30-220 ms; shifter cells: 0 or 30-150 ms.
inline constexpr long kMapCellMinimum = 30;
constexpr long MapCellMaximum(MapGridKind kind)
{
    return kind == MapGridKind::Blipper ? 220 : 150;
}
bool CellValueAllowed(long value, MapGridKind kind);
// A cell edit the grid takes.
bool CellTextAllowed(std::string_view text, MapGridKind kind);

// Cell texts of a grid, [row][column]; empty for a cell outside the selection.
using GridSelection = std::vector<std::vector<std::optional<std::string>>>;
// The selected cells row by row: tabs between the cells of a row, CR LF
// between rows; a row without selected cells adds nothing.
std::string CopyText(const GridSelection& selection);

// The parts of a text between separators, empty ones included; an empty text has none.
std::vector<std::string_view> SplitText(std::string_view text, char separator);
// A text with its CR LF line ends as LF, as the copy format has them.
std::string WithLineFeedEnds(std::string_view text);

struct CellWrite {
    int row;
    int col;
    long value;
    bool operator==(const CellWrite&) const = default;
};
// The cells a pasted text sets, from the cursor (top, left): lines at LF (CR
// LF counts as one), fields at tabs; fields outside the grid are ignored. The
// first field that breaks the cell rule ends the paste: the writes before it
// stay.
std::vector<CellWrite> PasteWrites(std::string_view text, MapGridKind kind, int top, int left, int rows,
                                   int cols);

struct CellCopy {
    int row;
    int col;
    int fromRow;
    bool operator==(const CellCopy&) const = default;
};
// Fill down: in each column the topmost selected cell goes into every other
// selected cell below it. `selected` is [row][column].
std::vector<CellCopy> FillDownCopies(const std::vector<std::vector<bool>>& selected);
