#include "editor/MapCurves.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long kFirstRpm = 2000;
constexpr long kLastRpm = 16000;

}  // namespace

double CurveX(const CurveArea& area, long rpm)
{
    return area.left + area.width * static_cast<double>(rpm - kFirstRpm) / (kLastRpm - kFirstRpm);
}

double CurveY(const CurveArea& area, long ms, MapGridKind kind)
{
    return area.top +
           area.height * (1.0 - static_cast<double>(ms) / static_cast<double>(MapCellMaximum(kind)));
}

long DraggedValue(const CurveArea& area, double y, MapGridKind kind)
{
    const double ms = (1.0 - (y - area.top) / area.height) * static_cast<double>(MapCellMaximum(kind));
    const double rounded = ms < 0 ? -std::floor(-ms + 0.5) : std::floor(ms + 0.5);
    return std::clamp(static_cast<long>(rounded), kMapCellMinimum, MapCellMaximum(kind));
}

std::optional<GridCell> PointAt(const CurveArea& area, const MapGridValues& values,
                                const std::array<bool, kMapGridCols>& shown, MapGridKind kind, double x,
                                double y, double reach)
{
    std::optional<GridCell> nearest;
    double best = reach * reach;
    for (int col = 0; col < kMapGridCols; ++col) {
        if (!shown[col])
            continue;
        for (int row = 0; row < kMapGridRows; ++row) {
            if (values[row][col] == 0)
                continue;
            const double dx = CurveX(area, MapGridRowRpm(row)) - x;
            const double dy = CurveY(area, values[row][col], kind) - y;
            if (dx * dx + dy * dy <= best) {
                best = dx * dx + dy * dy;
                nearest = GridCell{row, col};
            }
        }
    }
    return nearest;
}

int ColumnGear(int col, MapGridKind kind, bool perGearColumns)
{
    if (!perGearColumns)
        return 0;
    return col + (kind == MapGridKind::Blipper ? 2 : 1);
}

double PointRadius(uint32_t visits)
{
    return std::min(3.0 + std::sqrt(static_cast<double>(visits)), 8.0);
}
