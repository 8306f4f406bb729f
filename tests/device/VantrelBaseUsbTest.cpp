// Connections built from the records of virtual units as the program's
// enumeration lists them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "VirtualUnitFixture.h"
#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "fwimages/FwFile.h"
#include "gui/VantrelBase.h"

namespace {

class ConnectionToUnit : public VirtualUnitTest {
protected:
    VirtualUnit& PlugGeneration(uint16_t generation, Personality personality = Personality::Application,
                                uint16_t bootloaderVersion = 100)
    {
        UnitOptions options;
        options.generation = generation;
        options.personality = personality;
        options.bootloaderVersion = bootloaderVersion;
        return Plug(options);
    }

    std::string PathOf(const VirtualUnit& unit)
    {
        return FormatUsbPath(Bus().BusNumber(), Bus().PortNumber(unit), Bus().DeviceAddress(unit));
    }
};

TEST_F(ConnectionToUnit, Generation105)
{
    VirtualUnit& unit = PlugGeneration(105);
    VantrelBase connection(RecordOf(unit));
    EXPECT_EQ(connection.GetVersion(), 105);
    EXPECT_EQ(connection.GetDeviceMode(), 0);
    EXPECT_EQ(FormatVersionText(connection.GetVersion(), connection.GetDeviceMode()), "1.05");
    EXPECT_EQ(connection.GetSerialNumber(), unit.Serial());
    EXPECT_EQ(connection.GetPath(), PathOf(unit));
    EXPECT_EQ(connection.GetFeature(FEATURE_LOCK), 1);

    EXPECT_FALSE(connection.IsOpen());
    ASSERT_TRUE(connection.Open());
    EXPECT_FALSE(connection.Open());  // already open; the first handle stays usable
    EXPECT_TRUE(connection.IsOpen());
    uint8_t lock = 0xFF;
    EXPECT_EQ(connection.GetLockState(&lock), DEVICE_OK);
    EXPECT_EQ(lock, 0);
    EXPECT_EQ(connection.ReadLiveData(), DEVICE_OK);
    LiveValues values;
    EXPECT_EQ(connection.GetLiveValues(&values), DEVICE_OK);
    EXPECT_TRUE(connection.Close());
    EXPECT_FALSE(connection.IsOpen());
}

TEST_F(ConnectionToUnit, DestroyingAnOpenConnectionReleasesTheUnit)
{
    VirtualUnit& unit = PlugGeneration(108);
    const UsbDevice& record = RecordOf(unit);
    auto first = std::make_unique<VantrelBase>(record);
    ASSERT_TRUE(first->Open());
    VantrelBase second(record);
    // The unit's interface belongs to one open connection at a time.
    EXPECT_FALSE(second.Open());
    first.reset();
    EXPECT_TRUE(second.Open());
    VersionTriple firmware;
    EXPECT_EQ(second.GetFirmwareVersion(&firmware), DEVICE_OK);
    EXPECT_EQ(firmware.w2, 0x0108u);
}

TEST_F(ConnectionToUnit, ReleaseWithoutAGenerationGivesAnEmptyConnection)
{
    VirtualUnit& unit = PlugGeneration(109);  // bcdDevice 0x0109
    const UsbDevice& record = RecordOf(unit);
    EXPECT_EQ(record.version, 109);
    VantrelBase connection(record);
    EXPECT_FALSE(connection.Open());
    EXPECT_EQ(connection.GetPath(), "Invalid connection path");
    EXPECT_EQ(connection.GetSerialNumber(), "Invalid serial number");
    EXPECT_EQ(connection.ReadLiveData(), ERROR_NOT_AVAILABLE);
}

TEST_F(ConnectionToUnit, ReleaseZeroIsServedByTheSimulatedDevice)
{
    VirtualUnit& unit = PlugGeneration(0);  // bcdDevice 0x0000
    const UsbDevice& record = RecordOf(unit);
    EXPECT_EQ(record.version, 0);
    VantrelBase connection(record);
    EXPECT_EQ(connection.GetFeature(FEATURE_SIMULATED), 1);
    EXPECT_EQ(connection.GetPath(), "Simulator");
    EXPECT_EQ(connection.GetSerialNumber(), "");
    EXPECT_TRUE(connection.Open());
    // Nothing reaches the unit.
    unit.ClearRequestLog();
    EXPECT_EQ(connection.SetMode(MODE_WARMUP), ERROR_NOT_AVAILABLE);
    EXPECT_TRUE(unit.RequestLog().empty());
}

TEST_F(ConnectionToUnit, Bootloader101)
{
    VirtualUnit& unit = PlugGeneration(108, Personality::Bootloader, 101);
    VantrelBase connection(RecordOf(unit));
    EXPECT_EQ(connection.GetDeviceMode(), 1);
    EXPECT_EQ(connection.GetVersion(), 101);
    EXPECT_EQ(FormatVersionText(connection.GetVersion(), connection.GetDeviceMode()), "bootloader 1.01");
    EXPECT_EQ(connection.GetPath(), PathOf(unit));
    EXPECT_EQ(connection.GetSerialNumber(), unit.Serial());
    ASSERT_TRUE(connection.Open());
    VersionTriple boot;
    EXPECT_EQ(connection.GetBootVersion(&boot), DEVICE_OK);
    EXPECT_EQ(boot.w0, unit.BootVersion().type);
    // The firmware version comes from the application read, not the boot one.
    VersionTriple firmware;
    EXPECT_EQ(connection.GetFirmwareVersion(&firmware), DEVICE_OK);
    const VersionWords application = unit.FirmwareVersion();
    EXPECT_EQ(firmware, (VersionTriple{application.type, application.hardware, application.version}));
    EXPECT_NE(firmware, boot);
    // The application's operations are not the bootloader's.
    DeviceConfiguration config;
    EXPECT_EQ(connection.ReadConfiguration(&config), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetFeature(FEATURE_SIMULATED), ERROR_NOT_AVAILABLE);
    EXPECT_TRUE(connection.Close());
}

// A build of stand-in images writes none of them, whoever asks for the update,
// unless the run allows them: the unit hears nothing.
TEST_F(ConnectionToUnit, StandInImagesAreNeverWrittenUnlessTheRunAllowsThem)
{
#ifndef VANTREL_STANDIN_FIRMWARE
    GTEST_SKIP() << "the images of this build are real";
#else
    VirtualUnit& unit = PlugGeneration(108);
    VantrelBase connection(RecordOf(unit));
    ASSERT_TRUE(connection.Open());
    const uint8_t body[4] = {1, 2, 3, 4};
    const FwFile image{1, 1, 999, sizeof body, body};
    unit.ClearRequestLog();
    unsetenv("VANTREL_ALLOW_STANDIN_FIRMWARE");
    EXPECT_FALSE(FirmwareImagesMayBeWritten());
    EXPECT_EQ(connection.UpdateFirmware(image), ERROR_NOT_AVAILABLE);
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);
    EXPECT_TRUE(unit.RequestLog().empty());
    EXPECT_TRUE(FirmwareImagesMayBeWritten());
#endif
}

}  // namespace
