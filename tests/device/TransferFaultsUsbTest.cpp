// What the generation objects make of a unit that answers short, stalls,
// never answers, is pulled out, or holds an image the program cannot read.
#include <gtest/gtest.h>

#include <libusb.h>

#include <chrono>

#include "VirtualUnitFixture.h"
#include "config/ConfigurationImage.h"
#include "device/DeviceFactory.h"
#include "device/DeviceResult.h"
#include "device/VantrelGenerations.h"

namespace {

class TransferFaults : public VirtualUnitTest {
protected:
    // An open generation object for a freshly plugged unit.
    std::unique_ptr<IVantrel> OpenUnit(uint16_t generation)
    {
        UnitOptions options;
        options.generation = generation;
        unit = &Plug(options);
        auto device = CreateApplicationDevice(generation, RecordOf(*unit));
        EXPECT_NE(device, nullptr);
        EXPECT_TRUE(device && device->Open());
        return device;
    }

    // A record no read could produce, to see that a failed read leaves it.
    static DeviceConfiguration Sentinel()
    {
        DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
        config.DelayBetweenShifting = 370;
        config.Gear3RpmSpeedRatio = 1234;
        return config;
    }

    static DeviceConfiguration Blank()
    {
        DeviceConfiguration config;
        ClearConfiguration(config);
        return config;
    }

    VirtualUnit* unit = nullptr;
};

TEST_F(TransferFaults, ShortConfigurationReadLeavesTheRecord)
{
    struct Case {
        uint16_t generation;
        int32_t delivered;
    };
    for (const Case c : {Case{104, 195}, Case{104, 0}, Case{107, 211}, Case{108, 196}}) {
        SCOPED_TRACE(c.generation);
        auto device = OpenUnit(c.generation);
        unit->AddFault(Fault(FaultKind::Short, REQ_CONFIG, c.delivered));
        DeviceConfiguration config = Sentinel();
        EXPECT_EQ(device->ReadConfiguration(&config), ERROR_SHORT_TRANSFER);
        EXPECT_EQ(config, Sentinel());
        if (auto* gen107 = dynamic_cast<Vantrel107*>(device.get())) {
            EXPECT_EQ(gen107->GetLastConfiguration(), Blank());
        }
        // The full answer afterwards is used.
        EXPECT_EQ(device->ReadConfiguration(&config), DEVICE_OK);
        EXPECT_NE(config, Sentinel());
    }
}

TEST_F(TransferFaults, ShortVersionAndLockAnswers)
{
    auto device = OpenUnit(105);
    unit->AddFault(Fault(FaultKind::Short, REQ_BOOT, 5));
    VersionTriple triple{1, 2, 3};
    EXPECT_EQ(device->GetFirmwareVersion(&triple), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(triple, (VersionTriple{1, 2, 3}));

    unit->SetLockByte(1);
    unit->AddFault(Fault(FaultKind::Short, REQ_LOCK, 0));
    uint8_t lock = 0x77;
    EXPECT_EQ(device->GetLockState(&lock), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(lock, 0x77);
    EXPECT_EQ(device->GetLockState(&lock), DEVICE_OK);
    EXPECT_EQ(lock, 1);
}

TEST_F(TransferFaults, ShortConfigurationWriteKeepsTheLastConfiguration)
{
    auto device = OpenUnit(107);
    auto* gen107 = dynamic_cast<Vantrel107*>(device.get());
    ASSERT_NE(gen107, nullptr);
    unit->AddFault(Fault(FaultKind::Short, REQ_CONFIG, 211));
    EXPECT_EQ(device->WriteConfiguration(device->GetDefaultConfiguration()), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(gen107->GetLastConfiguration(), Blank());
}

TEST_F(TransferFaults, ShortOrLateLiveReportInvalidatesTheLiveData)
{
    auto device = OpenUnit(108);
    LiveValues values;
    LiveRaw raw;
    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);
    EXPECT_EQ(device->GetLiveValues(&values), DEVICE_OK);

    unit->AddFault(Fault(FaultKind::Short, FAULT_LIVE_ENDPOINT, 18));
    EXPECT_EQ(device->ReadLiveData(), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(device->GetLiveValues(&values), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(device->GetLiveRaw(&raw), ERROR_SHORT_TRANSFER);

    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);
    EXPECT_EQ(device->GetLiveValues(&values), DEVICE_OK);
    unit->AddFault(Fault(FaultKind::Timeout, FAULT_LIVE_ENDPOINT));
    EXPECT_EQ(device->ReadLiveData(), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(device->GetLiveValues(&values), ERROR_SHORT_TRANSFER);

    // Opening again also forgets the last report.
    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);
    EXPECT_TRUE(device->Close());
    EXPECT_EQ(device->GetLiveValues(&values), ERROR_SHORT_TRANSFER);
}

TEST_F(TransferFaults, LibraryCodesPassThrough)
{
    auto device = OpenUnit(106);
    unit->AddFault(Fault(FaultKind::Stall, REQ_MODE));
    EXPECT_EQ(device->SetMode(MODE_WARMUP), LIBUSB_ERROR_PIPE);
    unit->AddFault(Fault(FaultKind::Timeout, REQ_CONFIG));
    DeviceConfiguration config = Sentinel();
    EXPECT_EQ(device->ReadConfiguration(&config), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(config, Sentinel());
    // A closed device is refused by the transport before anything is sent.
    EXPECT_TRUE(device->Close());
    unit->ClearRequestLog();
    EXPECT_EQ(device->ReadConfiguration(&config), ERROR_NOT_OPEN);
    EXPECT_EQ(device->ReadLiveData(), ERROR_NOT_OPEN);
    EXPECT_TRUE(unit->RequestLog().empty());
}

// Every request runs on the window's thread: a unit that stops answering may
// hold it for the 100 ms time-out of each request and not much longer.
TEST_F(TransferFaults, UnansweredRequestsAreGivenUpAfterTheTimeOut)
{
    using Clock = std::chrono::steady_clock;
    auto device = OpenUnit(108);
    const auto timed = [](auto request) {
        const auto start = Clock::now();
        const int32_t result = request();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        EXPECT_EQ(result, LIBUSB_ERROR_TIMEOUT);
        return elapsed.count();
    };
    unit->AddFault(Fault(FaultKind::Timeout, REQ_CONFIG));
    DeviceConfiguration config = Sentinel();
    const auto read = timed([&] { return device->ReadConfiguration(&config); });
    unit->AddFault(Fault(FaultKind::Timeout, FAULT_LIVE_ENDPOINT));
    const auto live = timed([&] { return device->ReadLiveData(); });
    for (const auto elapsed : {read, live}) {
        EXPECT_GE(elapsed, 95);
        EXPECT_LT(elapsed, 300);
    }
}

TEST_F(TransferFaults, UnitPulledOutDuringARead)
{
    auto device = OpenUnit(108);
    ASSERT_EQ(device->ReadLiveData(), DEVICE_OK);
    unit->AddFault(Fault(FaultKind::Disconnect, REQ_CONFIG));
    DeviceConfiguration config = Sentinel();
    EXPECT_EQ(device->ReadConfiguration(&config), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(config, Sentinel());
    EXPECT_EQ(dynamic_cast<Vantrel107*>(device.get())->GetLastConfiguration(), Blank());
    // Everything after it fails too, and the live data is gone.
    EXPECT_LT(device->ReadLiveData(), 0);
    LiveValues values;
    EXPECT_EQ(device->GetLiveValues(&values), ERROR_SHORT_TRANSFER);
    EXPECT_LT(device->SetMode(0), 0);
    device.reset();  // closing a handle of a vanished unit must not fail
}

TEST_F(TransferFaults, ImageWithAnInvalidPulsesCodeFailsTheRead)
{
    auto device = OpenUnit(107);
    auto* gen107 = dynamic_cast<Vantrel107*>(device.get());
    DeviceConfiguration stored = device->GetDefaultConfiguration();
    stored.PulsesPerTwoRevolutions = 2;
    unit->SetConfigurationImage(EncodeConfigurationImage(stored, ImageFormat::Long));
    ASSERT_EQ(device->ReadConfiguration(nullptr), DEVICE_OK);
    const DeviceConfiguration last = gen107->GetLastConfiguration();
    EXPECT_EQ(last.PulsesPerTwoRevolutions, 2);

    std::vector<uint8_t> image = unit->ConfigurationImage();
    image[181] = 3;
    unit->SetConfigurationImage(image);
    DeviceConfiguration config = Sentinel();
    EXPECT_EQ(device->ReadConfiguration(&config), ERROR_INVALID_IMAGE);
    EXPECT_EQ(config, Sentinel());
    EXPECT_EQ(gen107->GetLastConfiguration(), last);
}

TEST_F(TransferFaults, RecordThatCannotBeEncodedIsNotSent)
{
    auto device = OpenUnit(103);
    DeviceConfiguration config = device->GetDefaultConfiguration();
    config.PulsesPerTwoRevolutions = 3;
    unit->ClearRequestLog();
    EXPECT_EQ(device->WriteConfiguration(config), ERROR_INVALID_IMAGE);
    EXPECT_TRUE(ControlRequests(*unit).empty());
}

}  // namespace
