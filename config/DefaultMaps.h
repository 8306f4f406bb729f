// The cut-time maps every generation starts from. The settings loader uses the
// same rows for cells a file does not carry, and the editors' map grids start
// from the same times, so they live in one place.
#pragma once

#include <array>
#include <cstdint>

#include "DeviceConfiguration.h"

using MapRow = std::array<int32_t, kMapCells>;

// Blip time of every blipper row, ms.
inline constexpr int32_t kDefaultBlipTime = 80;
// Cut times of the shifter rows for up-shifts from gears 1-5, ms.
inline constexpr std::array<int32_t, kMapRows> kDefaultShifterCutTimes = {60, 56, 52, 50, 48};

// Off at 1000-2000 rpm, `time` from 3000 rpm up to the cell `lastCell`, off above.
constexpr MapRow DefaultMapRow(int32_t time, int lastCell)
{
    MapRow row{};
    for (int cell = 2; cell <= lastCell; ++cell) {
        row[cell] = time;
    }
    return row;
}

// Every blipper row: the blip time from 3000 to 13000 rpm.
inline constexpr MapRow kDefaultBlipperRow = DefaultMapRow(kDefaultBlipTime, 12);

// Shifter rows for gears 1-5: one cut time from 3000 rpm up.
inline constexpr std::array<MapRow, kMapRows> kDefaultShifterRows = [] {
    std::array<MapRow, kMapRows> rows{};
    for (int row = 0; row < kMapRows; ++row) {
        rows[row] = DefaultMapRow(kDefaultShifterCutTimes[row], kMapCells - 1);
    }
    return rows;
}();

inline void SetRow(int32_t (&row)[kMapCells], const MapRow& values)
{
    for (int cell = 0; cell < kMapCells; ++cell) {
        row[cell] = values[cell];
    }
}
