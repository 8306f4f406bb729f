// Default configurations per generation and the settings keys each
// generation object reads and writes.
#include <gtest/gtest.h>

#include <algorithm>

#include <wx/fileconf.h>
#include <wx/sstream.h>

#include "DeviceRecords.h"
#include "config/DeviceConfiguration.h"
#include "device/DeviceFactory.h"
#include "device/VantrelGenerations.h"
#include "device/VantrelSimul.h"

namespace {

struct DefaultsRow {
    uint16_t version;  // 0: simulated
    int32_t tpsThreshold, tpsMin, tpsMax;
    int32_t warmupMaxRpm;
    int32_t speedPulses, wheel;
    int32_t ratios[6];
};

TEST(GenerationDefaults, EachGenerationHasItsOwnColumn)
{
    const DefaultsRow rows[] = {
        {100, 2200, 0, 5000, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {101, 2200, 0, 5000, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {102, 2200, 0, 5000, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {103, 1060, 700, 4300, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {104, 1060, 700, 4300, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {105, 1060, 700, 4300, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {106, 1060, 700, 4300, 3000, 0, 0, {0, 0, 0, 0, 0, 0}},
        {107, 1060, 700, 4300, 3000, 4, 2000, {854, 645, 526, 459, 415, 386}},
        {108, 1060, 700, 4300, 2000, 4, 2000, {854, 645, 526, 459, 415, 386}},
        {0, 1060, 700, 4300, 2000, 4, 2000, {854, 645, 526, 459, 415, 386}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.version);
        const auto device = CreateApplicationDevice(row.version, MakeUnitRecord(row.version));
        ASSERT_NE(device, nullptr);
        const DeviceConfiguration c = device->GetDefaultConfiguration();
        EXPECT_EQ(c.TPSThresholdVoltage, row.tpsThreshold);
        EXPECT_EQ(c.TPSMinVoltage, row.tpsMin);
        EXPECT_EQ(c.TPSMaxVoltage, row.tpsMax);
        EXPECT_EQ(c.WarmupMaxRPM, row.warmupMaxRpm);
        EXPECT_EQ(c.NumOfSpeedPulses, row.speedPulses);
        EXPECT_EQ(c.WheelCircumference, row.wheel);
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(c.*kRpmSpeedRatioFields[i], row.ratios[i]);
        }
        // What every generation shares.
        EXPECT_EQ(c.GearNVoltage, 5000);
        EXPECT_EQ(c.Gear1Voltage, 2200);
        EXPECT_EQ(c.Gear6Voltage, 4800);
        EXPECT_EQ(c.InputFeature5, 10);
        EXPECT_EQ(c.ShiftLightRPM, 10000);
        EXPECT_EQ(c.PulsesPerTwoRevolutions, 1);
        EXPECT_EQ(c.BlipperMap[4][2], 80);
        EXPECT_EQ(c.ShifterMap[4][15], 48);
        EXPECT_EQ(c.GearDetection, 0);
    }
}

// An in-memory settings file.
class SettingsStore {
public:
    SettingsStore() : input(wxString()), store(input) {}
    wxFileConfig& Get() { return store; }

private:
    wxStringInputStream input;
    wxFileConfig store;
};

DeviceConfiguration Blank()
{
    DeviceConfiguration config;
    ClearConfiguration(config);
    return config;
}

TEST(GenerationSettings, FileOf107LoadedBy104IgnoresTheExtraKeys)
{
    Vantrel107 writer(MakeUnitRecord(107));
    DeviceConfiguration saved = writer.GetDefaultConfiguration();
    saved.DelayBetweenShifting = 150;
    saved.NumOfSpeedPulses = 8;
    saved.WheelCircumference = 2100;
    saved.GearDetection = 1;
    saved.Gear1RpmSpeedRatio = 900;
    SettingsStore file;
    ASSERT_EQ(writer.SaveSettings(file.Get(), saved), 0);
    EXPECT_EQ(file.Get().ReadLong("NumOfSpeedPulses", -1), 8);
    EXPECT_EQ(file.Get().ReadLong("WheelCircumference", -1), 2100);

    Vantrel104 reader(MakeUnitRecord(104));
    DeviceConfiguration loaded = Blank();
    ASSERT_EQ(reader.LoadSettings(file.Get(), loaded), 0);
    EXPECT_EQ(loaded.DelayBetweenShifting, 150);
    EXPECT_EQ(loaded.TPSMinVoltage, 700);
    EXPECT_TRUE(std::equal(&loaded.BlipperMap[0][0], &loaded.BlipperMap[0][0] + kMapRows * kMapCells,
                           &saved.BlipperMap[0][0]));
    EXPECT_TRUE(std::equal(&loaded.ShifterMap[0][0], &loaded.ShifterMap[0][0] + kMapRows * kMapCells,
                           &saved.ShifterMap[0][0]));
    // The keys of 107 are not read by 104: the caller's values stay.
    EXPECT_EQ(loaded.NumOfSpeedPulses, 0);
    EXPECT_EQ(loaded.WheelCircumference, 0);
    EXPECT_EQ(loaded.GearDetection, 0);
    EXPECT_EQ(loaded.Gear1RpmSpeedRatio, 0);
}

TEST(GenerationSettings, FileOf104LoadedBy107GetsTheFallbacks)
{
    Vantrel104 writer(MakeUnitRecord(104));
    DeviceConfiguration saved = writer.GetDefaultConfiguration();
    saved.NumOfSpeedPulses = 9;  // not part of the 104 key set
    SettingsStore file;
    ASSERT_EQ(writer.SaveSettings(file.Get(), saved), 0);
    EXPECT_FALSE(file.Get().HasEntry("NumOfSpeedPulses"));
    EXPECT_FALSE(file.Get().HasEntry("Gear1RpmSpeedRatio"));

    Vantrel107 reader(MakeUnitRecord(107));
    DeviceConfiguration loaded = Blank();
    ASSERT_EQ(reader.LoadSettings(file.Get(), loaded), 0);
    EXPECT_EQ(loaded.TPSThresholdVoltage, 1060);
    EXPECT_EQ(loaded.NumOfSpeedPulses, 4);
    EXPECT_EQ(loaded.WheelCircumference, 2000);
    EXPECT_EQ(loaded.GearDetection, 0);
    const int32_t fallbackRatios[] = {854, 645, 526, 459, 415, 386};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(loaded.*kRpmSpeedRatioFields[i], fallbackRatios[i]);
    }
}

TEST(GenerationSettings, SimulatedDeviceWritesTheExtendedKeys)
{
    VantrelSimul device;
    DeviceConfiguration saved = device.GetDefaultConfiguration();
    saved.WheelCircumference = 1900;
    SettingsStore file;
    ASSERT_EQ(device.SaveSettings(file.Get(), saved), 0);
    EXPECT_EQ(file.Get().ReadLong("WheelCircumference", -1), 1900);
    EXPECT_EQ(file.Get().ReadLong("Gear6RpmSpeedRatio", -1), 386);
    DeviceConfiguration loaded = Blank();
    ASSERT_EQ(device.LoadSettings(file.Get(), loaded), 0);
    EXPECT_EQ(loaded, saved);
}

}  // namespace
