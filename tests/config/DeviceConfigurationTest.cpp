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

TEST(MakeDefaultConfiguration, ScalarsOfEveryFamily)
{
    using C = DeviceConfiguration;
    const DefaultRow rows[] = {
        {"GearN", &C::GearNVoltage, 5000, 5000, 5000, 5000},
        {"Gear1", &C::Gear1Voltage, 2200, 2200, 2200, 2200},
        {"Gear6", &C::Gear6Voltage, 4800, 4800, 4800, 4800},
        {"Input1", &C::InputFeature1, 2, 2, 2, 2},
        {"Input5", &C::InputFeature5, 10, 10, 10, 10},
        {"Input6", &C::InputFeature6, 0, 0, 0, 0},
        {"Output1", &C::OutputFeature1, 1, 1, 1, 1},
        {"Output2", &C::OutputFeature2, 2, 2, 2, 2},
        {"ShiftLight", &C::ShiftLightRPM, 10000, 10000, 10000, 10000},
        {"WarmupMax", &C::WarmupMaxRPM, 3000, 3000, 3000, 2000},
        {"TPSThreshold", &C::TPSThresholdVoltage, 2200, 1060, 1060, 1060},
        {"TPSMin", &C::TPSMinVoltage, 0, 700, 700, 700},
        {"TPSMax", &C::TPSMaxVoltage, 5000, 4300, 4300, 4300},
        {"Pulses", &C::PulsesPerTwoRevolutions, 1, 1, 1, 1},
        {"SpeedPulses", &C::NumOfSpeedPulses, 0, 0, 4, 4},
        {"DelayShift", &C::DelayBetweenShifting, 100, 100, 100, 100},
        {"DelayBlip", &C::DelayBetweenBlipping, 100, 100, 100, 100},
        {"WarmUpPeriod", &C::WarmUpPeriod, 1500, 1500, 1500, 1500},
        {"WarmupActive", &C::WarmupActiveTime, 200, 200, 200, 200},
        {"ShiftingMode", &C::ShiftingMode, 2, 2, 2, 2},
        {"DeltaT", &C::DeltaT, 5, 5, 5, 5},
        {"Ignition", &C::IgnitionMode, 0, 0, 0, 0},
        {"GearDetection", &C::GearDetection, 0, 0, 0, 0},
        {"Wheel", &C::WheelCircumference, 0, 0, 2000, 2000},
        {"Ratio1", &C::Gear1RpmSpeedRatio, 0, 0, 854, 854},
        {"Ratio3", &C::Gear3RpmSpeedRatio, 0, 0, 526, 526},
        {"Ratio6", &C::Gear6RpmSpeedRatio, 0, 0, 386, 386},
    };
    const DeviceConfiguration base = MakeDefaultConfiguration(DefaultsFamily::Base);
    const DeviceConfiguration gen103 = MakeDefaultConfiguration(DefaultsFamily::Gen103);
    const DeviceConfiguration gen107 = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    const DeviceConfiguration gen108 = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    for (const DefaultRow& row : rows) {
        EXPECT_EQ(base.*row.field, row.base) << row.name;
        EXPECT_EQ(gen103.*row.field, row.gen103) << row.name;
        EXPECT_EQ(gen107.*row.field, row.gen107) << row.name;
        EXPECT_EQ(gen108.*row.field, row.gen108) << row.name;
    }
    EXPECT_EQ(gen107.Gear2RpmSpeedRatio, 645);
    EXPECT_EQ(gen107.Gear4RpmSpeedRatio, 459);
    EXPECT_EQ(gen107.Gear5RpmSpeedRatio, 415);
    EXPECT_EQ(base.Reserved, 0);

    DeviceConfiguration gen108As107 = gen108;
    gen108As107.WarmupMaxRPM = 3000;
    EXPECT_EQ(gen108As107, gen107) << "108 differs from 107 only in the warm-up limit";
}

TEST(MakeDefaultConfiguration, MapsAreTheSameForEveryFamily)
{
    const int32_t shifterTimes[kMapRows] = {60, 56, 52, 50, 48};
    for (DefaultsFamily family :
         {DefaultsFamily::Base, DefaultsFamily::Gen103, DefaultsFamily::Gen107, DefaultsFamily::Gen108}) {
        const DeviceConfiguration config = MakeDefaultConfiguration(family);
        for (int row = 0; row < kMapRows; ++row) {
            for (int cell = 0; cell < kMapCells; ++cell) {
                const int rpm = (cell + 1) * 1000;
                EXPECT_EQ(config.BlipperMap[row][cell], rpm >= 3000 && rpm <= 13000 ? 80 : 0)
                    << row << "/" << rpm;
                EXPECT_EQ(config.ShifterMap[row][cell], rpm >= 3000 ? shifterTimes[row] : 0)
                    << row << "/" << rpm;
            }
        }
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
