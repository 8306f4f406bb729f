// The cut-time maps every generation starts from. The settings loader uses the
// same rows for cells a file does not carry, so they live in one place.
#pragma once

#include <array>
#include <cstdint>

#include "DeviceConfiguration.h"

using MapRow = std::array<int32_t, kMapCells>;

// Every blipper row: off at 1000-2000 rpm, 80 ms from 3000 to 13000 rpm, off above.
inline constexpr MapRow kDefaultBlipperRow = {0, 0, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 0, 0, 0};

// Shifter rows for gears 1-5: off at 1000-2000 rpm, one cut time from 3000 rpm up.
constexpr MapRow ShifterRow(int32_t cutTime)
{
    MapRow row{};
    for (int cell = 2; cell < kMapCells; ++cell) {
        row[cell] = cutTime;
    }
    return row;
}
inline constexpr std::array<MapRow, kMapRows> kDefaultShifterRows = {
    ShifterRow(60), ShifterRow(56), ShifterRow(52), ShifterRow(50), ShifterRow(48)};

inline void SetRow(int32_t (&row)[kMapCells], const MapRow& values)
{
    for (int cell = 0; cell < kMapCells; ++cell) {
        row[cell] = values[cell];
    }
}
