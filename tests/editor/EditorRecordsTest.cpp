// Records as the editors hold them once shown.
#include <gtest/gtest.h>

#include "config/DeviceConfiguration.h"
#include "editor/EditorRecords.h"

namespace {

// 750-4400 mV: the span is 3650 mV, so 9 % is 1078.5 mV and up.
TEST(EditorRecords, ForShowingMovesAThresholdToTheLowestThatShowsItsPercentage)
{
    struct Case {
        int32_t threshold, shown;
    } const table[] = {
        {1078, 1079},  // collected from 9 %, shown as 8 %: moved up
        {1079, 1079},  // shows 9 % already
        {1000, 1000},  // collected from no percentage: stays
        {750, 750},    // 0 % shows 0 %
    };
    for (const Case& c : table) {
        DeviceConfiguration record = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        record.TPSMinVoltage = 750;
        record.TPSMaxVoltage = 4400;
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
