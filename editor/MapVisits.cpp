#include "editor/MapVisits.h"

#include "editor/OperatingPoint.h"

void MapVisits::Count(const LiveValues& values, bool shifterPerGear, bool blipperPerGear)
{
    const bool shifterNow = values.inputShifter != 0;
    const bool blipperNow = values.inputBlipper != 0;
    auto count = [&](MapVisitCounts& counts, MapGridKind kind, bool perGear) {
        if (const auto cell = OperatingCell(values.rpm, values.gear, kind, perGear))
            ++counts[cell->row][cell->col];
    };
    if (seen && shifterNow && !shifterActive)
        count(shifter, MapGridKind::Shifter, shifterPerGear);
    if (seen && blipperNow && !blipperActive)
        count(blipper, MapGridKind::Blipper, blipperPerGear);
    seen = true;
    shifterActive = shifterNow;
    blipperActive = blipperNow;
}

void MapVisits::Clear()
{
    *this = MapVisits();
}
