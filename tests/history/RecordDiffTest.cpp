// The difference of two records, its summary and taking values across.
#include <gtest/gtest.h>

#include <vector>

#include "config/DeviceConfiguration.h"
#include "history/FieldLabels.h"
#include "history/RecordDiff.h"

namespace {

std::vector<std::string> Names(const std::vector<FieldDifference>& differences)
{
    std::vector<std::string> names;
    for (const FieldDifference& difference : differences)
        names.push_back(difference.name);
    return names;
}

// The defaults as the editors hold them: the 1000 rpm cell equals the 2000 one.
DeviceConfiguration EditorsDefaults()
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    for (int row = 0; row < kMapRows; ++row) {
        config.BlipperMap[row][0] = config.BlipperMap[row][1];
        config.ShifterMap[row][0] = config.ShifterMap[row][1];
    }
    return config;
}

}  // namespace

TEST(RecordDiff, KnownPairListsExactlyTheChangedFieldsAndCells)
{
    DeviceConfiguration older = EditorsDefaults();
    older.TPSMinVoltage = 700;
    DeviceConfiguration newer = older;
    newer.TPSMinVoltage = 750;
    newer.Gear3RpmSpeedRatio = 530;
    for (int cell = 3; cell <= 6; ++cell)
        newer.ShifterMap[2][cell] = 40;
    newer.BlipperMap[4][15] = 100;
    newer.ShifterMap[0][0] = 99;  // the 1000 rpm cell has no grid cell
    newer.Reserved = 1;           // no settings key

    const std::vector<FieldDifference> differences = DiffRecords(newer, older);
    EXPECT_EQ(Names(differences),
              (std::vector<std::string>{"TPSMinVoltage", "Gear3RpmSpeedRatio", "BlipperMap6G16000",
                                        "ShifterMap3G4000", "ShifterMap3G5000", "ShifterMap3G6000",
                                        "ShifterMap3G7000"}));
    EXPECT_EQ(differences[0].ours, 750);
    EXPECT_EQ(differences[0].theirs, 700);
    EXPECT_EQ(differences[3].ours, 40);
    EXPECT_EQ(differences[3].theirs, older.ShifterMap[2][3]);
    EXPECT_EQ(SummarizeDifferences(differences),
              "Closed throttle 700 \u2192 750; Engine speed to wheel speed ratio, gear 3 526 \u2192 530; "
              "Blipper map, gear 6: 1 cell; Shifter map, gear 3: 4 cells");
    EXPECT_EQ(SummarizeDifferences(DiffRecords(older, older)), "no change");
}

TEST(RecordDiff, RowsOneRecordLacksAreNotCompared)
{
    DeviceConfiguration single = EditorsDefaults();
    for (int row = 1; row < kMapRows; ++row)
        single.BlipperMap[row][0] = -1;  // a generation with one blipper column
    DeviceConfiguration other = EditorsDefaults();
    other.BlipperMap[2][5] = 150;
    other.BlipperMap[0][5] = 160;
    EXPECT_EQ(Names(DiffRecords(single, other)), std::vector<std::string>{"BlipperMap6000"});
}

TEST(RecordDiff, TakeOfSomeOrAllMakesTheFieldsEqual)
{
    const DeviceConfiguration ours = EditorsDefaults();
    DeviceConfiguration theirs = ours;
    theirs.ShiftLightRPM = 12500;
    theirs.ShifterMap[1][1] = 44;  // 2000 rpm: the editors' 1000 rpm cell follows it
    theirs.ShifterMap[1][0] = 44;
    theirs.GearNVoltage = 100;
    const std::vector<FieldDifference> differences = DiffRecords(ours, theirs);
    ASSERT_EQ(differences.size(), 3u);

    DeviceConfiguration some = ours;
    TakeValues(some, std::span(differences).subspan(1, 1));
    EXPECT_EQ(Names(DiffRecords(some, theirs)),
              (std::vector<std::string>{"GearNVoltage", "ShifterMap2G2000"}));
    EXPECT_EQ(some.ShiftLightRPM, 12500);

    DeviceConfiguration all = ours;
    TakeValues(all, differences);
    EXPECT_TRUE(DiffRecords(all, theirs).empty());
    EXPECT_EQ(all, theirs);
}
