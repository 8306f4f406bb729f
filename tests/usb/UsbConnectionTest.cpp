// The library context and its hot-plug registration.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "../emulator/BusTestSupport.h"
#include "usb/UsbVantrel.h"

namespace {

class ConnectionTest : public BusTest {};

std::string Repeat(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += text;
    }
    return all;
}

TEST_F(ConnectionTest, WritesOneLineWordPerAttachedDevice)
{
    bus->AddUnit();
    bus->AddSibling();
    bus->AddOtherClassDevice();
    EXPECT_EQ(StartUsb(), Repeat("HotplugCallback", 3));
}

TEST_F(ConnectionTest, WritesNothingWithNoDeviceAttached)
{
    EXPECT_EQ(StartUsb(), "");
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices());
    EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(ConnectionTest, LaterArrivalsAreListed)
{
    StartUsb();
    VirtualUnit& unit = bus->AddUnit();
    EXPECT_TRUE(WaitListed(unit));
    bus->Unplug(unit);
    EXPECT_TRUE(WaitUntil([] { return Units()->GetCount() == 0; }));
}

// libusb runs hot-plug callbacks inside its event handling, which every
// transfer does; the text belongs to the start-up registration only.
TEST_F(ConnectionTest, DevicesComingAndGoingWhileTransfersRunWriteNothing)
{
    VirtualUnit& unit = bus->AddUnit();
    ASSERT_EQ(StartUsb(), "HotplugCallback");
    Listed listed = FindUnit(unit.Serial());
    ASSERT_TRUE(listed);
    UsbVantrel device(*listed);
    ASSERT_TRUE(device.Open());

    ::testing::internal::CaptureStdout();
    std::atomic<bool> polling{true};
    std::atomic<int> answered{0};
    std::thread poller([&] {
        constexpr UsbSetupPacket firmwareVersion{0xC1, 0x01, 0x0001, 0, 6};
        std::array<uint8_t, 6> words{};
        while (polling) {
            if (device.ControlTransferIn(firmwareVersion, words.data(), 100) == 6)
                ++answered;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    // Transfers run before the arrivals, and some more while the new devices
    // are there.
    const bool polled = WaitUntil([&] { return answered > 0; });
    UnitOptions secondOptions;
    secondOptions.serial = "VT000002";
    VirtualUnit& second = bus->AddUnit(secondOptions);
    VirtualUnit& sibling = bus->AddSibling();
    const bool arrived = WaitListed(second);
    const int atArrival = answered;
    WaitUntil([&] { return answered >= atArrival + 5; });
    const int beforeRemoval = answered;
    bus->Unplug(second);
    bus->Unplug(sibling);
    const bool left = WaitUntil([] { return Units()->GetCount() == 1; });
    // A few more transfers after the departures were seen.
    const int afterRemoval = answered;
    WaitUntil([&] { return answered >= afterRemoval + 5; });
    polling = false;
    poller.join();
    const std::string written = ::testing::internal::GetCapturedStdout();

    EXPECT_TRUE(polled);
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(left);
    EXPECT_GE(beforeRemoval, atArrival + 5);
    EXPECT_GE(answered, afterRemoval + 5);
    EXPECT_EQ(written, "");
}

TEST(ConnectionCallback, ReturnsZeroToStayRegistered)
{
    ::testing::internal::CaptureStdout();
    const int result = UsbConnection::HotplugCallback(nullptr, nullptr, 1, nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "HotplugCallback");
    EXPECT_EQ(result, 0);
}

}  // namespace
