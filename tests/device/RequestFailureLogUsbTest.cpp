// The line the request log gets when a request to a virtual unit fails:
// which request, libusb's name of the error (or the short count), and what
// the program did next. Requests that succeed log nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/log.h>

#include "VirtualUnitFixture.h"
#include "device/DeviceFactory.h"
#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "device/RequestLog.h"
#include "gui/VantrelBase.h"

namespace {

class RequestFailureLog : public VirtualUnitTest {};

TEST_F(RequestFailureLog, NamesTheRequestTheErrorAndWhatFollowed)
{
    std::vector<std::string> lines;
    const RequestLogSink previous =
        SetRequestLogSink([&](const std::string& line) { lines.push_back(line); });
    UnitOptions options;
    VirtualUnit& unit = Plug(options);
    auto device = CreateApplicationDevice(108, RecordOf(unit));
    ASSERT_TRUE(device && device->Open());
    DeviceConfiguration config;
    ASSERT_EQ(device->ReadConfiguration(&config), DEVICE_OK);
    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);

    unit.AddFault(Fault(FaultKind::Timeout, REQ_CONFIG));
    EXPECT_EQ(device->ReadConfiguration(&config), -7);
    unit.AddFault(Fault(FaultKind::Short, FAULT_LIVE_ENDPOINT, 18));
    EXPECT_EQ(device->ReadLiveData(), ERROR_SHORT_TRANSFER);
    unit.AddFault(Fault(FaultKind::Stall, REQ_MODE));
    EXPECT_EQ(device->SetMode(MODE_WARMUP), -9);
    std::vector<uint8_t> image = unit.ConfigurationImage();
    image[181] = 3;
    unit.SetConfigurationImage(image);
    EXPECT_EQ(device->ReadConfiguration(&config), ERROR_INVALID_IMAGE);
    ASSERT_TRUE(device->Close());
    EXPECT_EQ(device->ReadLiveData(), ERROR_NOT_OPEN);
    SetRequestLogSink(previous);

    const std::string kept = "; left the configuration as it was and returned ";
    const std::string live = "read live report (endpoint 0x81 IN, 19 bytes) failed: ";
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "read configuration (0x00 IN, 212 bytes) failed: LIBUSB_ERROR_TIMEOUT" + kept +
                      "-7 to the caller",
                  live + "short transfer (18 of 19 bytes); marked the live data invalid and returned -99 "
                         "to the caller",
                  "set mode (0x03 OUT, value 3) failed: LIBUSB_ERROR_PIPE; returned -9 to the caller",
                  "read configuration (0x00 IN, 212 bytes) failed: the image was refused (invalid "
                  "pulses_per_revolution)" +
                      kept + "-20 to the caller",
                  live + "device not open, nothing sent; marked the live data invalid and returned -1 "
                         "to the caller",
              }));
}

// Records of the toolkit's log, whatever their level.
}  // namespace
