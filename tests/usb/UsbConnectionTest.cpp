// The library context and its hot-plug registration.
#include <gtest/gtest.h>

#include "../emulator/BusTestSupport.h"

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

TEST(ConnectionCallback, ReturnsZeroToStayRegistered)
{
    ::testing::internal::CaptureStdout();
    const int result = UsbConnection::HotplugCallback(nullptr, nullptr, 1, nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "HotplugCallback");
    EXPECT_EQ(result, 0);
}

}  // namespace
