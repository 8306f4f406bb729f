// Generations 107 and 108 decode speed and rpm with the configuration last
// read from or written to the unit.
#include <gtest/gtest.h>

#include "DeviceRecords.h"
#include "VirtualUnitFixture.h"
#include "config/ConfigurationImage.h"
#include "device/DeviceResult.h"
#include "device/VantrelGenerations.h"

namespace {

class LastConfiguration : public VirtualUnitTest {
protected:
    LiveValues Poll(IVantrel& device)
    {
        LiveValues values;
        EXPECT_EQ(device.ReadLiveData(), DEVICE_OK);
        EXPECT_EQ(device.GetLiveValues(&values), DEVICE_OK);
        return values;
    }
};

TEST_F(LastConfiguration, ReadWithoutARecordRefreshesTheLiveDecoding)
{
    UnitOptions options;
    options.generation = 107;
    VirtualUnit& unit = Plug(options);
    Vantrel107 device(RecordOf(unit));
    ASSERT_TRUE(device.Open());

    DeviceConfiguration stored = device.GetDefaultConfiguration();
    stored.PulsesPerTwoRevolutions = 2;
    stored.NumOfSpeedPulses = 2;
    stored.WheelCircumference = 1500;
    unit.SetConfigurationImage(EncodeConfigurationImage(stored, ImageFormat::Long));
    unit.SetFixedReport(LiveReport(18, 11250, 2000));

    // Blank: one pulse per period, no speed sensor.
    LiveValues values = Poll(device);
    EXPECT_EQ(values.rpm, 2000u);  // (5625 + 22500000) / 11250
    EXPECT_EQ(values.speed, 0u);

    ASSERT_EQ(device.ReadConfiguration(nullptr), DEVICE_OK);
    EXPECT_EQ(device.GetLastConfiguration().NumOfSpeedPulses, 2);
    EXPECT_EQ(device.GetLastConfiguration().WheelCircumference, 1500);
    values = Poll(device);
    EXPECT_EQ(values.rpm, 1000u);  // q 22500
    // c 71110, f ((35555 + 1500000000) / 71110) * 24 = 21094 * 24 = 506256,
    // (1000 + 506256) / 2000 = 253
    EXPECT_EQ(values.speed, 253u);
}

TEST_F(LastConfiguration, SuccessfulWriteReplacesItAndAFailedOneDoesNot)
{
    UnitOptions options;
    options.generation = 108;
    VirtualUnit& unit = Plug(options);
    Vantrel108 device(RecordOf(unit));
    ASSERT_TRUE(device.Open());
    unit.SetFixedReport(LiveReport(19, 11250, 1000));

    DeviceConfiguration config = device.GetDefaultConfiguration();
    config.PulsesPerTwoRevolutions = 4;
    ASSERT_EQ(device.WriteConfiguration(config), DEVICE_OK);
    EXPECT_EQ(device.GetLastConfiguration(), config);
    LiveValues values = Poll(device);
    EXPECT_EQ(values.rpm, 500u);    // q 45000: (22500 + 22500000) / 45000
    EXPECT_EQ(values.speed, 338u);  // 4 pulses, 2000 mm

    DeviceConfiguration other = config;
    other.PulsesPerTwoRevolutions = 1;
    FaultSpec stall;
    stall.kind = FaultKind::Stall;
    stall.target = REQ_CONFIG;
    unit.AddFault(stall);
    EXPECT_LT(device.WriteConfiguration(other), 0);
    EXPECT_EQ(device.GetLastConfiguration(), config);
    EXPECT_EQ(Poll(device).rpm, 500u);
}

}  // namespace
