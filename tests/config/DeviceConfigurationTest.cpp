#include <gtest/gtest.h>

#include <climits>

#include "config/DeviceConfiguration.h"

namespace {

TEST(ClearConfiguration, GivesTheBlankState)
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    ClearConfiguration(config);

    EXPECT_EQ(config.TPSMaxVoltage, 5000);
    DeviceConfiguration others = config;
    others.TPSMaxVoltage = 0;
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            EXPECT_EQ(config.BlipperMap[row][cell], row == 0 ? 0 : -1) << row << "/" << cell;
            EXPECT_EQ(config.ShifterMap[row][cell], row == 0 ? 0 : -1) << row << "/" << cell;
            others.BlipperMap[row][cell] = others.ShifterMap[row][cell] = 0;
        }
    }
    EXPECT_EQ(others, DeviceConfiguration{}) << "every other field is 0";
}

struct DefaultRow {
    const char* name;
    ConfigField field;
    int32_t base, gen103, gen107, gen108;
};

// The base values are pinned by the golden image and by the settings loader's
// fallbacks; here the fields in which the families differ.
TEST(MakeDefaultConfiguration, FamiliesOverrideOnlyTheirFields)
{
    using C = DeviceConfiguration;
    const DefaultRow rows[] = {
        {"WarmupMax", &C::WarmupMaxRPM, 3000, 3000, 3000, 2000},
        {"TPSThreshold", &C::TPSThresholdVoltage, 2200, 1060, 1060, 1060},
        {"TPSMin", &C::TPSMinVoltage, 0, 700, 700, 700},
        {"TPSMax", &C::TPSMaxVoltage, 5000, 4300, 4300, 4300},
        {"SpeedPulses", &C::NumOfSpeedPulses, 0, 0, 4, 4},
        {"Wheel", &C::WheelCircumference, 0, 0, 2000, 2000},
        {"Ratio1", &C::Gear1RpmSpeedRatio, 0, 0, 854, 854},
        {"Ratio2", &C::Gear2RpmSpeedRatio, 0, 0, 645, 645},
        {"Ratio3", &C::Gear3RpmSpeedRatio, 0, 0, 526, 526},
        {"Ratio4", &C::Gear4RpmSpeedRatio, 0, 0, 459, 459},
        {"Ratio5", &C::Gear5RpmSpeedRatio, 0, 0, 415, 415},
        {"Ratio6", &C::Gear6RpmSpeedRatio, 0, 0, 386, 386},
        {"GearDetection", &C::GearDetection, 0, 0, 0, 0},
    };
    DeviceConfiguration families[] = {
        MakeDefaultConfiguration(DefaultsFamily::Base), MakeDefaultConfiguration(DefaultsFamily::Gen103),
        MakeDefaultConfiguration(DefaultsFamily::Gen107), MakeDefaultConfiguration(DefaultsFamily::Gen108)};
    for (const DefaultRow& row : rows) {
        const int32_t expected[] = {row.base, row.gen103, row.gen107, row.gen108};
        for (int family = 0; family < 4; ++family) {
            EXPECT_EQ(families[family].*row.field, expected[family]) << row.name << " family " << family;
            families[family].*row.field = 0;
        }
    }
    // With those fields put aside, the four families are the same record.
    for (int family = 1; family < 4; ++family) {
        EXPECT_EQ(families[family], families[0]) << "family " << family;
    }
}

TEST(InputFeature, DecodesFunctionAndPolarity)
{
    struct Case {
        int32_t value;
        int function, polarity;
    };
    const Case cases[] = {{0, 0, 0},  {1, 1, 0},  {2, 1, 1},  {3, 2, 0},  {4, 2, 1},
                          {11, 6, 0}, {12, 6, 1}, {-1, 0, 0}, {-2, 0, 0}, {INT_MAX, 1073741824, 0}};
    for (const Case& c : cases) {
        const InputFeature decoded = DecodeInputFeature(c.value);
        EXPECT_EQ(decoded.function, c.function) << c.value;
        EXPECT_EQ(decoded.polarity, c.polarity) << c.value;
    }
}

TEST(InputFeature, EncodesAndRoundTripsEveryValue)
{
    EXPECT_EQ(EncodeInputFeature(0, 1), 0) << "no function, no polarity";
    EXPECT_EQ(EncodeInputFeature(1, 0), 1);
    EXPECT_EQ(EncodeInputFeature(3, 1), 6);
    EXPECT_EQ(EncodeInputFeature(7, 0), 0) << "there are six functions";
    for (int32_t value = 0; value <= 12; ++value) {
        const InputFeature decoded = DecodeInputFeature(value);
        EXPECT_EQ(EncodeInputFeature(decoded.function, decoded.polarity), value);
    }
}

TEST(ThresholdPercent, TruncatesBothWays)
{
    EXPECT_EQ(ThresholdToPercent(2200, 0, 5000), 44);
    EXPECT_EQ(ThresholdToPercent(2249, 0, 5000), 44);  // 44.98
    EXPECT_EQ(ThresholdToPercent(1060, 700, 4300), 10);
    EXPECT_EQ(ThresholdToPercent(4300, 700, 4300), 100);
    EXPECT_EQ(PercentToThreshold(10, 700, 4300), 1060);
    EXPECT_EQ(PercentToThreshold(33, 0, 999), 329);  // 329.67
    EXPECT_EQ(PercentToThreshold(0, 700, 4300), 700);
    EXPECT_EQ(PercentToThreshold(100, 700, 4300), 4300);
}

TEST(ThresholdPercent, ZeroSpanGivesMinimumInsteadOfDividing)
{
    EXPECT_EQ(ThresholdToPercent(1000, 700, 700), 0);
    EXPECT_EQ(PercentToThreshold(50, 700, 700), 700);
    // Extreme values saturate instead of overflowing.
    EXPECT_EQ(ThresholdToPercent(INT_MAX, INT_MIN, INT_MIN + 1), INT_MAX);
}

}  // namespace
