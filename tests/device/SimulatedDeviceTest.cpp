// The simulated unit: opens once, answers -14 for everything that needs a
// unit, and otherwise behaves as the newest generation.
#include <gtest/gtest.h>

#include "config/DeviceConfiguration.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "device/VantrelSimul.h"

namespace {

TEST(VantrelSimul, OpensOnceAndClosesAlways)
{
    VantrelSimul device;
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(device.Open());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_FALSE(device.Open());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_TRUE(device.Close());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(device.Close());
    EXPECT_TRUE(device.Open());
}

TEST(VantrelSimul, UsbPartSharesTheOpenState)
{
    VantrelSimul device;
    UsbVantrel& usb = device;
    EXPECT_TRUE(usb.Open());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_FALSE(device.Open());
    EXPECT_TRUE(usb.IsOpen());
    EXPECT_TRUE(usb.Close());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(usb.GetVersion(), 0);
    EXPECT_EQ(usb.GetDeviceMode(), 0);
    EXPECT_EQ(usb.vendorId, 0);
    EXPECT_TRUE(usb.serialNumber.empty());
}

TEST(VantrelSimul, LiveReadsReportTheOpenState)
{
    VantrelSimul device;
    EXPECT_EQ(device.ReadLiveData(), 0);
    device.Open();
    EXPECT_EQ(device.ReadLiveData(), 1);
}

TEST(VantrelSimul, LiveValuesZeroTheFieldsUpToThePowerFlag)
{
    VantrelSimul device;
    LiveValues values;
    values.rpm = 5000;
    values.inputVoltage6 = 300;
    values.gear = 3;
    values.powerFlag = true;
    values.rpmSpeedRatio = 77;
    values.supplyVoltage = 13800;
    EXPECT_EQ(device.GetLiveValues(&values), DEVICE_OK);
    EXPECT_EQ(values.rpm, 0u);
    EXPECT_EQ(values.inputVoltage6, 0u);
    EXPECT_EQ(values.gear, 0u);
    EXPECT_FALSE(values.powerFlag);
    EXPECT_EQ(values.rpmSpeedRatio, 77u);
    EXPECT_EQ(values.supplyVoltage, 13800u);
    EXPECT_EQ(device.GetLiveValues(nullptr), ERROR_NOT_AVAILABLE);
}

TEST(VantrelSimul, LiveRawShowsStandingEngineAndKeepsTheRest)
{
    VantrelSimul device;
    LiveRaw raw;
    raw.fill(0x5A);
    EXPECT_EQ(device.GetLiveRaw(&raw), DEVICE_OK);
    const LiveRaw expected = {0xFF, 0xFF, 0xFF, 0xFF, 0x5A, 0x5A, 0x5A, 0x5A, 0,   0,
                              0,    0,    0,    0,    0,    0,    0x5A, 0x5A, 0x5A};
    EXPECT_EQ(raw, expected);
    EXPECT_EQ(device.GetLiveRaw(nullptr), ERROR_NOT_AVAILABLE);
}

TEST(VantrelSimul, OperationsNeedingAUnitAnswerNotAvailable)
{
    VantrelSimul device;
    device.Open();
    VersionTriple triple{1, 2, 3};
    DeviceConfiguration config = device.GetDefaultConfiguration();
    const DeviceConfiguration before = config;
    uint8_t lock = 9;
    EXPECT_EQ(device.GetFirmwareVersion(&triple), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.GetBootVersion(&triple), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(triple, (VersionTriple{1, 2, 3}));
    EXPECT_EQ(device.ReadConfiguration(&config), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.ReadConfiguration(nullptr), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(config, before);
    EXPECT_EQ(device.WriteConfiguration(config), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.SetMode(MODE_WARMUP), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.ActivateBootloader(), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.ActivateApplication(), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.GetLockState(&lock), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.SetLockState(LOCK_LOCKED), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(lock, 9);
    // Nothing of the failed write reached the live decoding's configuration.
    DeviceConfiguration blank;
    ClearConfiguration(blank);
    EXPECT_EQ(device.GetLastConfiguration(), blank);
}

}  // namespace
