#include <gtest/gtest.h>

#include "editor/MapVisits.h"

namespace {

LiveValues Report(uint32_t rpm, uint32_t gear, bool shifter, bool blipper)
{
    LiveValues values;
    values.rpm = rpm;
    values.gear = gear;
    values.inputShifter = shifter ? 1 : 0;
    values.inputBlipper = blipper ? 1 : 0;
    return values;
}

}  // namespace

// Reports one after the other; after each, the count of one cell.
TEST(MapVisits, CountsAShiftWhereItsInputBecomesActive)
{
    const struct {
        const char* what;
        LiveValues report;
        bool perGear;
        MapGridKind kind;
        int row, col;
        uint32_t count;
    } steps[] = {
        {"first report only primes", Report(5400, 2, true, false), true, MapGridKind::Shifter, 3, 1, 0},
        {"released", Report(5400, 2, false, false), true, MapGridKind::Shifter, 3, 1, 0},
        {"pressed at 5,400 rpm in 2nd", Report(5400, 2, true, false), true, MapGridKind::Shifter, 3, 1, 1},
        {"held", Report(5400, 2, true, false), true, MapGridKind::Shifter, 3, 1, 1},
        {"released", Report(5500, 2, false, false), true, MapGridKind::Shifter, 3, 1, 1},
        {"5,500 rpm goes up to 6,000", Report(5500, 2, true, false), true, MapGridKind::Shifter, 4, 1, 1},
        {"released", Report(9000, 6, false, false), true, MapGridKind::Shifter, 4, 1, 1},
        {"6th has no up-shift", Report(9000, 6, true, false), true, MapGridKind::Shifter, 7, 4, 0},
        {"a blip in 6th", Report(9000, 6, true, true), true, MapGridKind::Blipper, 7, 4, 1},
        {"released", Report(4000, 1, false, false), true, MapGridKind::Blipper, 7, 4, 1},
        {"1st has no blip", Report(4000, 1, false, true), true, MapGridKind::Blipper, 2, 0, 0},
        {"released", Report(4000, 0, false, false), true, MapGridKind::Shifter, 2, 0, 0},
        {"neutral", Report(4000, 0, true, true), true, MapGridKind::Shifter, 2, 0, 0},
        {"released", Report(1400, 3, false, false), true, MapGridKind::Shifter, 0, 2, 0},
        {"below 1,500 rpm", Report(1400, 3, true, false), true, MapGridKind::Shifter, 0, 2, 0},
        {"released", Report(4000, 7, false, false), true, MapGridKind::Shifter, 2, 4, 0},
        {"above 6th", Report(4000, 7, true, false), true, MapGridKind::Shifter, 2, 4, 0},
        {"released", Report(4000, 3, false, false), false, MapGridKind::Shifter, 2, 0, 0},
        {"one column for all gears", Report(4000, 3, true, false), false, MapGridKind::Shifter, 2, 0, 1},
    };
    MapVisits visits;
    for (const auto& step : steps) {
        visits.Count(step.report, step.perGear, step.perGear);
        EXPECT_EQ(visits.Of(step.kind)[step.row][step.col], step.count) << step.what;
    }
    uint32_t total = 0;
    for (MapGridKind kind : {MapGridKind::Shifter, MapGridKind::Blipper})
        for (const auto& row : visits.Of(kind))
            for (uint32_t count : row)
                total += count;
    EXPECT_EQ(total, 4u);
    visits.Clear();
    visits.Count(Report(5400, 2, true, false), true, true);
    EXPECT_EQ(visits.Of(MapGridKind::Shifter)[3][1], 0u) << "held through the clear";
    EXPECT_EQ(visits.Of(MapGridKind::Shifter)[2][0], 0u);
}
