#include "editor/MapGridRules.h"

#include <algorithm>
#include <climits>
#include <cstdint>

void CollectMap(const MapGridValues& grid, int32_t (&map)[kMapRows][kMapCells])
{
    for (int col = 0; col < kMapGridCols; ++col) {
        map[col][0] = grid[0][col];
        for (int row = 0; row < kMapGridRows; ++row)
            map[col][row + 1] = grid[row][col];
    }
}

bool ShowsMapRow(const int32_t (&map)[kMapRows][kMapCells], int column)
{
    return column == 0 || map[column][0] >= 0;
}

void ShowMap(const int32_t (&map)[kMapRows][kMapCells], MapGridValues& grid)
{
    for (int col = 0; col < kMapGridCols; ++col) {
        if (!ShowsMapRow(map, col))
            continue;
        for (int row = 0; row < kMapGridRows; ++row)
            grid[row][col] = map[col][row + 1];
    }
}

int32_t LeadingInteger(std::string_view text)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool ParseInteger(std::string_view text, long& value)
{
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        return false;
    // Gathered negative, so that the lowest long fits.
    long result = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9')
            return false;
        const int digit = text[pos] - '0';
        if (result < (LONG_MIN + digit) / 10)
            return false;
        result = result * 10 - digit;
    }
    if (!negative && result == LONG_MIN)
        return false;
    value = negative ? result : -result;
    return true;
}

bool CellValueAllowed(long value, MapGridKind kind)
{
    return value == 0 || (value >= kMapCellMinimum && value <= MapCellMaximum(kind));
}

bool CellTextAllowed(std::string_view text, MapGridKind kind)
{
    long value = 0;
    return ParseInteger(text, value) && CellValueAllowed(value, kind);
}

std::string CopyText(const GridSelection& selection)
{
    std::string text;
    bool firstRow = true;
    for (const auto& cells : selection) {
        std::string line;
        bool any = false;
        for (const auto& cell : cells) {
            if (!cell)
                continue;
            if (any)
                line += '\t';
            line += *cell;
            any = true;
        }
        if (!any)
            continue;
        if (!firstRow)
            text += "\r\n";
        text += line;
        firstRow = false;
    }
    return text;
}

namespace {

}  // namespace

std::vector<std::string_view> SplitText(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    if (text.empty())
        return parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

std::string WithLineFeedEnds(std::string_view text)
{
    std::string normalised;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        normalised += text[i];
    }
    return normalised;
}

std::vector<CellWrite> PasteWrites(std::string_view text, MapGridKind kind, int top, int left, int rows,
                                   int cols)
{
    const std::string normalised = WithLineFeedEnds(text);
    std::vector<CellWrite> writes;
    const std::vector<std::string_view> lines = SplitText(normalised, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = top + static_cast<int>(i);
        if (row >= rows)
            break;
        const std::vector<std::string_view> fields = SplitText(lines[i], '\t');
        for (size_t j = 0; j < fields.size(); ++j) {
            const int col = left + static_cast<int>(j);
            if (col >= cols)
                break;
            long value = 0;
            if (!ParseInteger(fields[j], value) || !CellValueAllowed(value, kind))
                return writes;
            writes.push_back({row, col, value});
        }
    }
    return writes;
}

std::vector<CellCopy> FillDownCopies(const std::vector<std::vector<bool>>& selected)
{
    std::vector<CellCopy> copies;
    const size_t cols = selected.empty() ? 0 : selected.front().size();
    for (size_t col = 0; col < cols; ++col) {
        int topRow = -1;
        for (size_t row = 0; row < selected.size(); ++row) {
            if (!selected[row][col])
                continue;
            if (topRow < 0)
                topRow = static_cast<int>(row);
            else
                copies.push_back({static_cast<int>(row), static_cast<int>(col), topRow});
        }
    }
    return copies;
}
