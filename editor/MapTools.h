// The map tools without their windows: what each command of the Map submenu
// does to the selected cells of a map grid. 0 means "no cut here": only Set
// turns a 0 into a cut time or a cut time into 0; every other tool leaves
// zero cells alone and never uses them as inputs. Results are whole ms,
// rounded half away from zero, and held within the map's range.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/MapGridRules.h"
#include "editor/OperatingPoint.h"

// Selected cells of the shown columns, [row][column].
using MapCellSelection = std::array<std::array<bool, kMapGridCols>, kMapGridRows>;

// The cells a tool works on: the selected cells of the shown columns, or the
// cursor cell when nothing is selected. `selected` is [row][column] of the
// whole grid.
MapCellSelection ToolCells(const std::vector<std::vector<bool>>& selected,
                           const std::array<bool, kMapGridCols>& shownColumns, GridCell cursor);

enum class MapTool {
    Increase,
    Decrease,
    IncreaseTen,
    DecreaseTen,
    Set,
    Add,
    Scale,
    InterpolateVertically,
    InterpolateHorizontally,
    Interpolate,
    Smooth,
    PasteSpecial,
};
inline constexpr int kMapToolCount = 12;

// The step of Increase and Decrease, in ms.
inline constexpr std::array<int, 4> kMapToolSteps = {1, 2, 5, 10};
inline constexpr int kDefaultMapToolStep = 1;
bool IsMapToolStep(long step);

// Why a tool changed nothing although it had cells to work on.
enum class MapToolRefusal {
    None,
    ValueOutOfRange,   // Set: neither 0 nor within the map's range
    ZeroCorner,        // Interpolate: a corner of the block is 0 (`at` names it)
    NoPercentage,      // Scale, Paste special multiply: a percentage of 0 or less
    NoClipboardCells,  // Paste special: the clipboard holds no map cells
};

struct MapToolOutcome {
    std::vector<CellWrite> writes;  // only cells whose value changes
    MapToolRefusal refusal = MapToolRefusal::None;
    std::optional<GridCell> at;
};

// The nearest whole number to numerator / denominator, half away from zero
// (denominator not 0).
long long RoundedQuotient(long long numerator, long long denominator);

// Adds `delta` ms to every selected cut time (Increase, Decrease and their
// ten-step forms, Add).
MapToolOutcome AddToCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                          long delta);
// Every selected cell, zero cells included, becomes `value` (0 or in range).
MapToolOutcome SetCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                        long value);
// Every selected cut time times percent / 100.
MapToolOutcome ScaleCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                          long percent);
// In each selected column (vertically) or row (horizontally), between the
// first and last selected cut times, the cut times in between follow the
// straight line from the one to the other.
MapToolOutcome InterpolateVertically(const MapGridValues& values, const MapCellSelection& selected,
                                     MapGridKind kind);
MapToolOutcome InterpolateHorizontally(const MapGridValues& values, const MapCellSelection& selected,
                                       MapGridKind kind);
// Bilinear from the four corners of the block the selection spans; refused
// when a corner is 0.
MapToolOutcome InterpolateBlock(const MapGridValues& values, const MapCellSelection& selected,
                                MapGridKind kind);
// Each selected cut time becomes the mean of itself and its selected cut-time
// neighbours above, below, left and right, all taken before the change.
MapToolOutcome SmoothCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind);

enum class PasteOperation { Add, Subtract, MultiplyPercent, Average };
// The clipboard's cells (the copy format: tabs between cells, line ends
// between rows) laid over the grid from the cursor (top, left): each cut time
// under a clipboard cut time is combined with it; `shown` marks the cells
// that may change (the shown columns). A field that is not a number refuses
// the whole paste.
MapToolOutcome PasteSpecialCells(const MapGridValues& values, const MapCellSelection& shown, MapGridKind kind,
                                 std::string_view clipboard, int top, int left, PasteOperation operation);

// The name of a tool's undo step: "Increase", "Interpolate vertically", ...
const char* MapToolStepName(MapTool tool);
