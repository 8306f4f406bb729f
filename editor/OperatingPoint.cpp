#include "editor/OperatingPoint.h"

#include <algorithm>

std::optional<GridCell> OperatingCell(uint32_t rpm, uint32_t gear, MapGridKind kind, bool perGearColumns)
{
    if (rpm < kLowestOperatingRpm || gear == 0 || gear > 6)
        return std::nullopt;
    // Up-shifts start from gears 1 to 5, down-shifts from gears 2 to 6.
    const int firstGear = kind == MapGridKind::Shifter ? 1 : 2;
    const int col = static_cast<int>(gear) - firstGear;
    if (col < 0 || col >= kMapGridCols)
        return std::nullopt;
    const long nearest = (static_cast<long>(rpm) - MapGridRowRpm(0) + 500) / 1000;
    const int row = static_cast<int>(std::min<long>(std::max<long>(nearest, 0), kMapGridRows - 1));
    return GridCell{row, perGearColumns ? col : 0};
}

std::optional<OutlinePacer::Move> OutlinePacer::Ask(std::optional<GridCell> cell, int64_t nowMs)
{
    wanted = cell;
    if (wanted == shown) {
        waiting = false;
        return std::nullopt;
    }
    if (lastMove && nowMs - *lastMove < kIntervalMs) {
        waiting = true;
        return std::nullopt;
    }
    return MoveTo(nowMs);
}

std::optional<int64_t> OutlinePacer::DueAt() const
{
    if (!waiting)
        return std::nullopt;
    return lastMove ? *lastMove + kIntervalMs : 0;
}

std::optional<OutlinePacer::Move> OutlinePacer::Due(int64_t nowMs)
{
    const std::optional<int64_t> due = DueAt();
    if (!due || nowMs < *due)
        return std::nullopt;
    return MoveTo(nowMs);
}

OutlinePacer::Move OutlinePacer::MoveTo(int64_t nowMs)
{
    const Move move{shown, wanted};
    shown = wanted;
    lastMove = nowMs;
    waiting = false;
    return move;
}
