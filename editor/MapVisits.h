// How often the rider shifted in each cell of the two maps: an up-shift counts
// in the shifter map's cell, a blip in the blipper map's, each in the cell the
// operating-point outline marks at that report. Fed one live report after the
// other (the poll since connect, or every row of a replayed log).
#pragma once

#include <array>
#include <cstdint>

#include "device/LiveData.h"
#include "editor/MapGridRules.h"

using MapVisitCounts = std::array<std::array<uint32_t, kMapGridCols>, kMapGridRows>;

class MapVisits {
public:
    // One report. A shift is a report in which the input has become active
    // (it was not in the previous report); the first report after a clear
    // only tells what the inputs were. `perGearColumns` as the grids show
    // them: a grid of one column counts every gear in it.
    void Count(const LiveValues& values, bool shifterPerGear, bool blipperPerGear);
    // Forgets every count and the inputs of the previous report.
    void Clear();
    const MapVisitCounts& Of(MapGridKind kind) const
    {
        return kind == MapGridKind::Blipper ? blipper : shifter;
    }

private:
    MapVisitCounts shifter{};
    MapVisitCounts blipper{};
    bool seen = false;
    bool shifterActive = false;
    bool blipperActive = false;
};
