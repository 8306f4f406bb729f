// The line the request log gets when a request to a virtual unit fails:
// which request, libusb's name of the error (or the short count), and what
// the program did next. Requests that succeed log nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VirtualUnitFixture.h"
#include "device/DeviceFactory.h"
#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "device/RequestLog.h"

namespace {

class RequestFailureLog : public VirtualUnitTest {
protected:
    void SetUp() override
    {
        VirtualUnitTest::SetUp();
        previous = SetRequestLogSink([this](const std::string& line) { lines.push_back(line); });
    }
    void TearDown() override
    {
        SetRequestLogSink(previous);
        VirtualUnitTest::TearDown();
    }

    VirtualUnit& PlugUnit(uint16_t generation, Personality personality = Personality::Application)
    {
        UnitOptions options;
        options.generation = generation;
        options.personality = personality;
        return Plug(options);
    }

    std::vector<std::string> lines;
    RequestLogSink previous;
};

TEST_F(RequestFailureLog, ApplicationRequests)
{
    VirtualUnit& unit = PlugUnit(108);
    auto device = CreateApplicationDevice(108, RecordOf(unit));
    ASSERT_TRUE(device && device->Open());
    DeviceConfiguration config;
    uint8_t lock = 0;
    ASSERT_EQ(device->ReadConfiguration(&config), DEVICE_OK);
    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);
    ASSERT_EQ(device->GetLockState(&lock), DEVICE_OK);
    EXPECT_TRUE(lines.empty()) << lines.front();

    unit.AddFault(Fault(FaultKind::Timeout, REQ_CONFIG));
    EXPECT_EQ(device->ReadConfiguration(&config), -7);
    unit.AddFault(Fault(FaultKind::Short, FAULT_LIVE_ENDPOINT, 18));
    EXPECT_EQ(device->ReadLiveData(), ERROR_SHORT_TRANSFER);
    unit.AddFault(Fault(FaultKind::Stall, REQ_MODE));
    EXPECT_EQ(device->SetMode(MODE_WARMUP), -9);
    unit.AddFault(Fault(FaultKind::Short, REQ_LOCK, 0));
    EXPECT_EQ(device->GetLockState(&lock), ERROR_SHORT_TRANSFER);
    std::vector<uint8_t> image = unit.ConfigurationImage();
    image[181] = 3;
    unit.SetConfigurationImage(image);
    EXPECT_EQ(device->ReadConfiguration(&config), ERROR_INVALID_IMAGE);
    config.PulsesPerTwoRevolutions = 3;
    EXPECT_EQ(device->WriteConfiguration(config), ERROR_INVALID_IMAGE);
    ASSERT_TRUE(device->Close());
    EXPECT_EQ(device->ReadLiveData(), ERROR_NOT_OPEN);

    const std::vector<std::string> expected = {
        "read configuration (0x00 IN, 212 bytes) failed: LIBUSB_ERROR_TIMEOUT; "
        "left the configuration as it was and returned -7 to the caller",
        "read live report (endpoint 0x81 IN, 19 bytes) failed: short transfer (18 of 19 bytes); "
        "marked the live data invalid and returned -99 to the caller",
        "set mode (0x03 OUT, value 3) failed: LIBUSB_ERROR_PIPE; returned -9 to the caller",
        "get lock state (0x04 IN, 1 byte) failed: short transfer (0 of 1 bytes); "
        "left the lock state as it was and returned -99 to the caller",
        "read configuration (0x00 IN, 212 bytes) failed: the image was refused (invalid "
        "pulses_per_revolution); "
        "left the configuration as it was and returned -20 to the caller",
        "write configuration (0x00 OUT, 212 bytes) failed: the record cannot be encoded "
        "(invalid pulses_per_revolution), nothing sent; returned -20 to the caller",
        "read live report (endpoint 0x81 IN, 19 bytes) failed: device not open, nothing sent; "
        "marked the live data invalid and returned -1 to the caller",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(RequestFailureLog, BootloaderRequests)
{
    VirtualUnit& unit = PlugUnit(108, Personality::Bootloader);
    auto bootloader = CreateBootloaderDevice(100, RecordOf(unit));
    ASSERT_TRUE(bootloader && bootloader->Open());
    const std::vector<uint8_t> block(64, 0x5A);
    unit.AddFault(Fault(FaultKind::Short, REQ_FLASH, 63));
    EXPECT_EQ(bootloader->WriteBlock(448, block.data(), block.size()), ERROR_SHORT_TRANSFER);
    unit.AddFault(Fault(FaultKind::Disconnect, REQ_BOOT));
    VersionTriple version{};
    EXPECT_EQ(bootloader->GetBootVersion(&version), -4);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "write flash block (0x02 OUT, value 7, 64 bytes) failed: short transfer (63 of 64 bytes); "
              "returned -99 to the caller");
    EXPECT_EQ(lines[1],
              "read boot version (0x01 IN, 6 bytes) failed: LIBUSB_ERROR_NO_DEVICE; "
              "left the version record as it was and returned -4 to the caller");
}

}  // namespace
