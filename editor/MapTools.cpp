#include "editor/MapTools.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

// A computed cut time within the map's range; never 0 (a cut stays a cut).
long Held(long long value, MapGridKind kind)
{
    return static_cast<long>(std::clamp<long long>(value, kMapCellMinimum, MapCellMaximum(kind)));
}

// The write that gives a cell its new value, when that changes it.
void Put(MapToolOutcome& outcome, const MapGridValues& values, int row, int col, long value)
{
    if (values[row][col] != value)
        outcome.writes.push_back({row, col, value});
}

bool CutTime(const MapGridValues& values, const MapCellSelection& selected, int row, int col)
{
    return row >= 0 && row < kMapGridRows && col >= 0 && col < kMapGridCols && selected[row][col] &&
           values[row][col] != 0;
}

// One line of cells (a column or a row): `cell(i)` gives the cell at index i.
template <class CellAt>
void InterpolateLine(MapToolOutcome& outcome, const MapGridValues& values, const MapCellSelection& selected,
                     MapGridKind kind, int length, CellAt cell)
{
    int first = -1;
    int last = -1;
    for (int i = 0; i < length; ++i) {
        const auto [row, col] = cell(i);
        if (!CutTime(values, selected, row, col))
            continue;
        if (first < 0)
            first = i;
        last = i;
    }
    if (first < 0 || last == first)
        return;
    const auto [firstRow, firstCol] = cell(first);
    const auto [lastRow, lastCol] = cell(last);
    const long long v0 = values[firstRow][firstCol];
    const long long v1 = values[lastRow][lastCol];
    const long long span = last - first;
    for (int i = first + 1; i < last; ++i) {
        const auto [row, col] = cell(i);
        if (CutTime(values, selected, row, col))
            Put(outcome, values, row, col,
                Held(RoundedQuotient(v0 * span + (v1 - v0) * (i - first), span), kind));
    }
}

}  // namespace

MapCellSelection ToolCells(const std::vector<std::vector<bool>>& selected,
                           const std::array<bool, kMapGridCols>& shownColumns, GridCell cursor)
{
    MapCellSelection cells{};
    bool any = false;
    for (int row = 0; row < kMapGridRows && row < static_cast<int>(selected.size()); ++row)
        for (int col = 0; col < kMapGridCols && col < static_cast<int>(selected[row].size()); ++col)
            if (selected[row][col] && shownColumns[col])
                any = cells[row][col] = true;
    if (!any && cursor.row >= 0 && cursor.row < kMapGridRows && cursor.col >= 0 &&
        cursor.col < kMapGridCols && shownColumns[cursor.col])
        cells[cursor.row][cursor.col] = true;
    return cells;
}

bool IsMapToolStep(long step)
{
    return std::find(kMapToolSteps.begin(), kMapToolSteps.end(), step) != kMapToolSteps.end();
}

long long RoundedQuotient(long long numerator, long long denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    // Twice the remainder against the denominator decides, so odd
    // denominators round as exactly as even ones.
    const long long quotient = numerator / denominator;
    const long long remainder = numerator % denominator;
    if (2 * (remainder < 0 ? -remainder : remainder) >= denominator)
        return quotient + (numerator < 0 ? -1 : 1);
    return quotient;
}

MapToolOutcome AddToCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                          long delta)
{
    MapToolOutcome outcome;
    for (int row = 0; row < kMapGridRows; ++row)
        for (int col = 0; col < kMapGridCols; ++col)
            if (CutTime(values, selected, row, col))
                Put(outcome, values, row, col, Held(static_cast<long long>(values[row][col]) + delta, kind));
    return outcome;
}

MapToolOutcome SetCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                        long value)
{
    MapToolOutcome outcome;
    if (!CellValueAllowed(value, kind)) {
        outcome.refusal = MapToolRefusal::ValueOutOfRange;
        return outcome;
    }
    for (int row = 0; row < kMapGridRows; ++row)
        for (int col = 0; col < kMapGridCols; ++col)
            if (selected[row][col])
                Put(outcome, values, row, col, value);
    return outcome;
}

MapToolOutcome ScaleCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind,
                          long percent)
{
    MapToolOutcome outcome;
    if (percent <= 0) {
        outcome.refusal = MapToolRefusal::NoPercentage;
        return outcome;
    }
    for (int row = 0; row < kMapGridRows; ++row)
        for (int col = 0; col < kMapGridCols; ++col)
            if (CutTime(values, selected, row, col))
                Put(outcome, values, row, col,
                    Held(RoundedQuotient(static_cast<long long>(values[row][col]) * percent, 100), kind));
    return outcome;
}

MapToolOutcome InterpolateVertically(const MapGridValues& values, const MapCellSelection& selected,
                                     MapGridKind kind)
{
    MapToolOutcome outcome;
    for (int col = 0; col < kMapGridCols; ++col)
        InterpolateLine(outcome, values, selected, kind, kMapGridRows, [col](int i) {
            return std::pair<int, int>{i, col};
        });
    return outcome;
}

MapToolOutcome InterpolateHorizontally(const MapGridValues& values, const MapCellSelection& selected,
                                       MapGridKind kind)
{
    MapToolOutcome outcome;
    for (int row = 0; row < kMapGridRows; ++row)
        InterpolateLine(outcome, values, selected, kind, kMapGridCols, [row](int i) {
            return std::pair<int, int>{row, i};
        });
    return outcome;
}

MapToolOutcome InterpolateBlock(const MapGridValues& values, const MapCellSelection& selected,
                                MapGridKind kind)
{
    MapToolOutcome outcome;
    int top = kMapGridRows;
    int bottom = -1;
    int left = kMapGridCols;
    int right = -1;
    for (int row = 0; row < kMapGridRows; ++row)
        for (int col = 0; col < kMapGridCols; ++col)
            if (selected[row][col]) {
                top = std::min(top, row);
                bottom = std::max(bottom, row);
                left = std::min(left, col);
                right = std::max(right, col);
            }
    if (bottom < 0)
        return outcome;
    for (const GridCell corner :
         {GridCell{top, left}, GridCell{top, right}, GridCell{bottom, left}, GridCell{bottom, right}}) {
        if (values[corner.row][corner.col] == 0) {
            outcome.refusal = MapToolRefusal::ZeroCorner;
            outcome.at = corner;
            return outcome;
        }
    }
    const long long v00 = values[top][left];
    const long long v01 = values[top][right];
    const long long v10 = values[bottom][left];
    const long long v11 = values[bottom][right];
    // A block of one row or one column is a line between its two ends.
    const long long height = std::max(bottom - top, 1);
    const long long width = std::max(right - left, 1);
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            if (!CutTime(values, selected, row, col))
                continue;
            const long long r = row - top;
            const long long c = col - left;
            const long long sum = v00 * (height - r) * (width - c) + v01 * (height - r) * c +
                                  v10 * r * (width - c) + v11 * r * c;
            Put(outcome, values, row, col, Held(RoundedQuotient(sum, height * width), kind));
        }
    }
    return outcome;
}

MapToolOutcome SmoothCells(const MapGridValues& values, const MapCellSelection& selected, MapGridKind kind)
{
    MapToolOutcome outcome;
    for (int row = 0; row < kMapGridRows; ++row) {
        for (int col = 0; col < kMapGridCols; ++col) {
            if (!CutTime(values, selected, row, col))
                continue;
            long long sum = values[row][col];
            long long count = 1;
            for (const auto& [dr, dc] :
                 {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
                if (CutTime(values, selected, row + dr, col + dc)) {
                    sum += values[row + dr][col + dc];
                    ++count;
                }
            }
            Put(outcome, values, row, col, Held(RoundedQuotient(sum, count), kind));
        }
    }
    return outcome;
}

MapToolOutcome PasteSpecialCells(const MapGridValues& values, const MapCellSelection& shown, MapGridKind kind,
                                 std::string_view clipboard, int top, int left, PasteOperation operation)
{
    MapToolOutcome outcome;
    std::string text = WithLineFeedEnds(clipboard);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    // All fields first: a clipboard that is not map cells changes nothing.
    if (text.empty()) {
        outcome.refusal = MapToolRefusal::NoClipboardCells;
        return outcome;
    }
    std::vector<std::vector<long>> cells;
    for (std::string_view line : SplitText(text, '\n')) {
        std::vector<long>& fields = cells.emplace_back();
        for (std::string_view field : SplitText(line, '\t')) {
            long value = 0;
            if (!ParseInteger(field, value) || value < -100000 || value > 100000) {
                outcome.refusal = MapToolRefusal::NoClipboardCells;
                return outcome;
            }
            if (operation == PasteOperation::MultiplyPercent && value < 0) {
                outcome.refusal = MapToolRefusal::NoPercentage;
                return outcome;
            }
            fields.push_back(value);
        }
    }
    for (size_t i = 0; i < cells.size(); ++i) {
        for (size_t j = 0; j < cells[i].size(); ++j) {
            const int row = top + static_cast<int>(i);
            const int col = left + static_cast<int>(j);
            const long long source = cells[i][j];
            if (source == 0 || !CutTime(values, shown, row, col))
                continue;
            const long long cut = values[row][col];
            long long result = 0;
            if (operation == PasteOperation::Add)
                result = cut + source;
            else if (operation == PasteOperation::Subtract)
                result = cut - source;
            else if (operation == PasteOperation::MultiplyPercent)
                result = RoundedQuotient(cut * source, 100);
            else
                result = RoundedQuotient(cut + source, 2);
            Put(outcome, values, row, col, Held(result, kind));
        }
    }
    return outcome;
}

const char* MapToolStepName(MapTool tool)
{
    switch (tool) {
        case MapTool::Increase:
            return "Increase";
        case MapTool::Decrease:
            return "Decrease";
        case MapTool::IncreaseTen:
            return "Increase \xC3\x97"
                   "10";
        case MapTool::DecreaseTen:
            return "Decrease \xC3\x97"
                   "10";
        case MapTool::Set:
            return "Set to";
        case MapTool::Add:
            return "Add";
        case MapTool::Scale:
            return "Scale";
        case MapTool::InterpolateVertically:
            return "Interpolate vertically";
        case MapTool::InterpolateHorizontally:
            return "Interpolate horizontally";
        case MapTool::Interpolate:
            return "Interpolate";
        case MapTool::Smooth:
            return "Smooth";
        case MapTool::PasteSpecial:
            return "Paste special";
    }
    return "";
}
