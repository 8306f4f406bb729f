// Opening, closing and the three transfer primitives against virtual units,
// through the real libusb.
#include <gtest/gtest.h>

#include <libusb.h>

#include <array>
#include <stdexcept>
#include <thread>

#include "../emulator/BusTestSupport.h"
#include "usb/UsbVantrel.h"

namespace {

constexpr UsbSetupPacket FIRMWARE_VERSION{0xC1, 0x01, 0x0001, 0, 6};
constexpr UsbSetupPacket READ_IMAGE_212{0xC1, 0x00, 0, 0, 212};

class DeviceTest : public BusTest {
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        unit = &bus->AddUnit();
        other = &bus->AddOtherClassDevice("OTHER1");
        StartUsb();
        listed = FindUnit(unit->Serial());
        ASSERT_TRUE(listed);
    }

    void TearDown() override
    {
        // Lists give their references back before the library context ends.
        listed = Listed{};
        all.reset();
        BusTest::TearDown();
    }

    UsbDevice* FindOther()
    {
        all.reset(EnumerateDevices(0x1D50, 0x6018));
        return all->GetFirst();
    }

    VirtualUnit* unit = nullptr;
    VirtualUnit* other = nullptr;
    Listed listed;
    std::unique_ptr<UsbDeviceList> all;
};

TEST_F(DeviceTest, OpenTwiceKeepsTheFirstHandle)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    libusb_device_handle* first = device.handle;
    EXPECT_FALSE(device.Open());
    EXPECT_EQ(device.GetLastError(), -99);
    EXPECT_EQ(device.handle, first);
    EXPECT_TRUE(device.IsOpen());
    std::array<uint8_t, 6> words{};
    EXPECT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
    EXPECT_TRUE(device.Close());
    EXPECT_FALSE(device.Close());
    EXPECT_EQ(device.GetLastError(), -99);
}

TEST_F(DeviceTest, ZeroIdsAreNotOpened)
{
    for (const bool zeroVendor : {true, false}) {
        UsbVantrel device(*listed);
        (zeroVendor ? device.vendorId : device.productId) = 0;
        EXPECT_FALSE(device.Open());
        EXPECT_EQ(device.GetLastError(), -12);
        EXPECT_FALSE(device.IsOpen());
    }
    EXPECT_TRUE(unit->RequestLog().empty());
}

TEST_F(DeviceTest, CopyIsClosedWithoutError)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    device.lastError = -7;
    const UsbDevice copy(device);
    EXPECT_FALSE(copy.IsOpen());
    EXPECT_EQ(copy.GetLastError(), 0);
    EXPECT_EQ(copy.serialNumber, device.serialNumber);
    EXPECT_EQ(copy.libusbDevice, device.libusbDevice);
    EXPECT_TRUE(device.IsOpen());
}

TEST_F(DeviceTest, ForeignClassOpensInTheLibraryButNotAsUnit)
{
    UsbDevice* record = FindOther();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->deviceClass, 0x00);

    UsbDevice plain(*record);
    EXPECT_TRUE(plain.Open());
    EXPECT_TRUE(plain.Close());

    UsbVantrel device(*record);
    device.lastError = 42;  // must survive the refusal
    EXPECT_FALSE(device.Open());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.GetLastError(), 42);
}

TEST_F(DeviceTest, ControlTransfersReachTheUnit)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    std::array<uint8_t, 6> words{};
    ASSERT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
    EXPECT_EQ(words, (std::array<uint8_t, 6>{0x03, 0x00, 0x01, 0x09, 0x08, 0x01}));

    std::vector<uint8_t> image(212);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>(i * 3);
    }
    const UsbSetupPacket write{0x41, 0x00, 0, 0, 212};
    ASSERT_EQ(device.ControlTransferOut(write, image.data(), 100), 212);
    EXPECT_EQ(unit->ConfigurationImage(), image);
    std::vector<uint8_t> back(212);
    ASSERT_EQ(device.ControlTransferIn(READ_IMAGE_212, back.data(), 100), 212);
    EXPECT_EQ(back, image);

    const UsbSetupPacket mode{0x41, 0x03, 3, 0, 0};
    ASSERT_EQ(device.ControlTransferOut(mode, nullptr, 100), 0);
    const auto log = unit->RequestLog();
    ASSERT_EQ(log.size(), 4u);
    const UsbSetupPacket& sent = log.back().setup;
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&sent);
    EXPECT_EQ(std::vector<uint8_t>(raw, raw + 8), (std::vector<uint8_t>{0x41, 0x03, 0x03, 0, 0, 0, 0, 0}));
    EXPECT_EQ(log[1].data, image);
    EXPECT_EQ(device.GetLastError(), 0);
}

TEST_F(DeviceTest, ShortControlReadIsPassedThroughAsItsCount)
{
    UnitOptions small;
    small.serial = "GEN100";
    small.generation = 100;
    VirtualUnit& old = bus->AddUnit(small);
    ASSERT_TRUE(WaitListed(old));
    const Listed record = FindUnit("GEN100");
    UsbVantrel device(*record);
    ASSERT_TRUE(device.Open());
    old.AddFault({.kind = FaultKind::Short, .target = 0x00, .shortLength = 10});
    std::vector<uint8_t> buffer(196, 0xEE);
    const UsbSetupPacket read{0xC1, 0x00, 0, 0, 196};
    EXPECT_EQ(device.ControlTransferIn(read, buffer.data(), 100), 10);
    EXPECT_EQ(buffer[0], 1);      // image format of the 196-byte image
    EXPECT_EQ(buffer[10], 0xEE);  // untouched beyond the count
    EXPECT_EQ(device.GetLastError(), 0);
    EXPECT_EQ(device.ControlTransferIn(read, buffer.data(), 100), 196);
}

TEST_F(DeviceTest, InterruptTransferDeliversTheReport)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> report = {0x10, 0x27, 0,    0,    50, 60, 1,    2,    3,  4,
                                         5,    6,    0x3F, 0x0F, 4,  1,  0x56, 0x03, 180};
    unit->SetFixedReport(report);
    std::vector<uint8_t> buffer(19);
    ASSERT_EQ(device.InterruptTransfer(0x81, buffer.data(), 19, 100), 19);
    EXPECT_EQ(buffer, report);
    // A larger buffer still gets one report.
    std::vector<uint8_t> larger(64);
    EXPECT_EQ(device.InterruptTransfer(0x81, larger.data(), 64, 100), 19);
}

TEST_F(DeviceTest, ClosedDeviceTransfersNothing)
{
    UsbVantrel device(*listed);
    EXPECT_FALSE(device.Close());
    ASSERT_EQ(device.GetLastError(), -99);
    std::array<uint8_t, 212> buffer{};
    EXPECT_EQ(device.ControlTransferIn(READ_IMAGE_212, buffer.data(), 100), -1);
    EXPECT_EQ(device.ControlTransferOut(READ_IMAGE_212, buffer.data(), 100), -1);
    EXPECT_EQ(device.InterruptTransfer(0x81, buffer.data(), 19, 100), -1);
    EXPECT_EQ(device.GetLastError(), -99);
    EXPECT_TRUE(unit->RequestLog().empty());
}

TEST_F(DeviceTest, ModeComesFromTheSubclass)
{
    UsbVantrel device(*listed);
    EXPECT_EQ(device.GetDeviceMode(), DEVICE_MODE_APPLICATION);
    EXPECT_EQ(device.GetVersion(), 108);
    device.deviceSubClass = 1;
    EXPECT_EQ(device.GetDeviceMode(), DEVICE_MODE_BOOTLOADER);
    for (const uint8_t subclass : {2, 0xFF}) {
        device.deviceSubClass = subclass;
        try {
            device.GetDeviceMode();
            ADD_FAILURE() << "no exception for subclass " << int(subclass);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "unknown device subclass");
        }
    }
    EXPECT_EQ(device.GetLastError(), 0);
}

// One row per fault kind and transfer type: what the primitive returns.
struct FaultCase {
    const char* name;
    FaultSpec fault;
    bool control;
    int32_t expected;  // a libusb code, or the byte count
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class FaultTest : public DeviceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, EndsInTheLibraryResult)
{
    const FaultCase& c = GetParam();
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    unit->AddFault(c.fault);
    std::vector<uint8_t> buffer(212);
    const auto start = std::chrono::steady_clock::now();
    const int32_t result = c.control ? device.ControlTransferIn(READ_IMAGE_212, buffer.data(), 100)
                                     : device.InterruptTransfer(0x81, buffer.data(), 19, 100);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(device.GetLastError(), c.expected < 0 ? c.expected : 0);
    EXPECT_EQ(unit->FaultsFired(), 1u);
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000));

    const auto log = unit->RequestLog();
    ASSERT_FALSE(log.empty());
    ASSERT_TRUE(log.back().fault.has_value());
    EXPECT_EQ(*log.back().fault, c.fault.kind);

    if (c.fault.kind == FaultKind::Disconnect) {
        // Gone for good: every later request fails the same way, and the unit leaves the list.
        EXPECT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, buffer.data(), 100), LIBUSB_ERROR_NO_DEVICE);
        EXPECT_TRUE(WaitUntil([] { return Units()->GetCount() == 0; }));
        EXPECT_TRUE(WaitUntil([&] { return !bus->IsAttached(*unit); }));
    } else {
        // The fault fired once; the next request is answered normally.
        EXPECT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, buffer.data(), 100), 6);
    }
    EXPECT_TRUE(device.Close());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FaultTest,
    ::testing::Values(
        FaultCase{"ControlStall", {.kind = FaultKind::Stall, .target = 0x00}, true, LIBUSB_ERROR_PIPE},
        FaultCase{"ControlTimeout", {.kind = FaultKind::Timeout, .target = 0x00}, true, LIBUSB_ERROR_TIMEOUT},
        FaultCase{"ControlShort", {.kind = FaultKind::Short, .target = 0x00}, true, 211},
        FaultCase{"ControlDisconnect",
                  {.kind = FaultKind::Disconnect, .target = 0x00},
                  true,
                  LIBUSB_ERROR_NO_DEVICE},
        FaultCase{
            "LiveStall", {.kind = FaultKind::Stall, .target = FAULT_LIVE_ENDPOINT}, false, LIBUSB_ERROR_PIPE},
        FaultCase{"LiveTimeout",
                  {.kind = FaultKind::Timeout, .target = FAULT_LIVE_ENDPOINT},
                  false,
                  LIBUSB_ERROR_TIMEOUT},
        FaultCase{"LiveShort",
                  {.kind = FaultKind::Short, .target = FAULT_LIVE_ENDPOINT, .shortLength = 5},
                  false,
                  5},
        FaultCase{"LiveDisconnect",
                  {.kind = FaultKind::Disconnect, .target = FAULT_LIVE_ENDPOINT},
                  false,
                  LIBUSB_ERROR_NO_DEVICE}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(DeviceTest, FaultAfterNRequestsHitsExactlyThoseRequests)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    unit->AddFault({.kind = FaultKind::Stall, .target = FAULT_ANY_TRANSFER, .skip = 3, .count = 2});
    std::array<uint8_t, 6> words{};
    std::vector<int32_t> results;
    for (int i = 0; i < 7; ++i) {
        results.push_back(device.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100));
    }
    EXPECT_EQ(results, (std::vector<int32_t>{6, 6, 6, -9, -9, 6, 6}));
    EXPECT_EQ(device.GetLastError(), -9);  // latched, never cleared by later successes
    device.ClearLastError();
    EXPECT_EQ(device.GetLastError(), 0);
}

TEST_F(DeviceTest, PulledCableEndsATransferInFlight)
{
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());
    // The unit holds the read; the cable is pulled while the host waits for it.
    unit->AddFault({.kind = FaultKind::Timeout, .target = FAULT_LIVE_ENDPOINT});
    std::thread puller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        bus->Unplug(*unit);
    });
    std::vector<uint8_t> buffer(19);
    const auto start = std::chrono::steady_clock::now();
    const int32_t result = device.InterruptTransfer(0x81, buffer.data(), 19, 5000);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    puller.join();
    EXPECT_EQ(result, LIBUSB_ERROR_NO_DEVICE);
    EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
    EXPECT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, buffer.data(), 100), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_TRUE(device.Close());
    EXPECT_TRUE(WaitUntil([] { return Units()->GetCount() == 0; }));
}

TEST_F(DeviceTest, ReplugComesBackAtANewAddress)
{
    const uint8_t before = bus->DeviceAddress(*unit);
    bus->Unplug(*unit);
    ASSERT_TRUE(WaitUntil([] { return Units()->GetCount() == 0; }));
    bus->Replug(*unit);
    ASSERT_TRUE(WaitListed(*unit));
    EXPECT_NE(bus->DeviceAddress(*unit), before);
    const Listed again = FindUnit(unit->Serial());
    UsbVantrel device(*again);
    ASSERT_TRUE(device.Open());
    std::array<uint8_t, 6> words{};
    EXPECT_EQ(device.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
}

}  // namespace
