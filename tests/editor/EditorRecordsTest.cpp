// Records as the editors hold them once shown.
#include <gtest/gtest.h>

#include <cstdint>

#include "config/DeviceConfiguration.h"
#include "editor/EditorRecords.h"

namespace {

// 750-4400 mV: the span is 3650 mV, so 9 % is 1078.5 mV and up. A kept copy
// may hold any values: at the ends of int32_t, 50 % is 0 and up, and 1 % of a
// falling span shows as 0 % everywhere above it (the search once ran past the
// top of int32_t for seconds).
TEST(EditorRecords, ForShowingMovesAThresholdToTheLowestThatShowsItsPercentage)
{
    constexpr int32_t kLow = INT32_MIN, kHigh = INT32_MAX;
    struct Case {
        int32_t min, max, threshold, shown;
    } const table[] = {
        {750, 4400, 1078, 1079},                // collected from 9 %, shown as 8 %: moved up
        {750, 4400, 1079, 1079},                // shows 9 % already
        {750, 4400, 1000, 1000},                // collected from no percentage: stays
        {750, 4400, 750, 750},                  // 0 % shows 0 %
        {kLow, kHigh, -1, 0},                   // 50 % of the whole range
        {kHigh, kLow, 2104533975, 2104533975},  // 1 % of a falling one: none shows it
    };
    for (const Case& c : table) {
        DeviceConfiguration record = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        record.TPSMinVoltage = c.min;
        record.TPSMaxVoltage = c.max;
        record.TPSThresholdVoltage = c.threshold;
        DeviceConfiguration shown = ForShowing(record);
        EXPECT_EQ(shown.TPSThresholdVoltage, c.shown) << c.threshold;
        shown.TPSThresholdVoltage = record.TPSThresholdVoltage;
        EXPECT_TRUE(shown == record) << "nothing else changes";
    }
}

TEST(EditorRecords, AsEditorsHoldItGivesTheFirstMapCellThatOfTheSecondAndKeepsARecordTheyCannotShow)
{
    const DeviceConfiguration editors = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    DeviceConfiguration record = editors;
    record.ShifterMap[2][0] = 99;
    record.ShifterMap[2][1] = 61;
    EXPECT_EQ(AsEditorsHoldIt(record, editors).ShifterMap[2][0], 61);
    EXPECT_EQ(AsEditorsHoldIt(record, editors).ShifterMap[2][1], 61);

    record.PulsesPerTwoRevolutions = 3;  // no item of the pulses choice
    EXPECT_TRUE(AsEditorsHoldIt(record, editors) == record);
}

}  // namespace
