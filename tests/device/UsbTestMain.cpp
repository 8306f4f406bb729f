// The USB tests talk to virtual units through the real libusb. The bus must
// exist before libusb is initialised, and libusb must be shut down before the
// bus goes away.
#include <gtest/gtest.h>
#include <wx/init.h>

#include <memory>

#include "VirtualUnitFixture.h"
#include "emulator/VirtualBus.h"
#include "usb/UsbConnection.h"

namespace {
VirtualBus* bus = nullptr;
}

VirtualBus* TestBus()
{
    return bus;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxInitializer wx;
    if (!wx.IsOk()) {
        return 2;
    }
    std::unique_ptr<VirtualBus> virtualBus;
    std::unique_ptr<UsbConnection> connection;
    if (VirtualBus::InMockEnvironment()) {
        virtualBus = std::make_unique<VirtualBus>();
        bus = virtualBus.get();
        connection = std::make_unique<UsbConnection>();
    }
    const int result = RUN_ALL_TESTS();
    connection.reset();
    bus = nullptr;
    virtualBus.reset();
    return result;
}
