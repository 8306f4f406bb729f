// A test fixture with a virtual bus and the program's libusb context, for
// tests that drive the real transport against virtual units. The bus is made
// first and the libusb context second, as the process's start-up does it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "emulator/VirtualBus.h"
#include "usb/UsbConnection.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"

class BusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!VirtualBus::InMockEnvironment()) {
            GTEST_SKIP() << "needs umockdev's preload: run under umockdev-wrapper (ctest does)";
        }
        bus = std::make_unique<VirtualBus>();
    }

    void TearDown() override
    {
        connection.reset();
        bus.reset();
    }

    // Starts libusb after the devices of the test have been plugged in;
    // returns what the hot-plug registration wrote to standard output.
    std::string StartUsb()
    {
        ::testing::internal::CaptureStdout();
        connection = std::make_unique<UsbConnection>();
        return ::testing::internal::GetCapturedStdout();
    }

    // libusb learns of arrivals and departures on its own event thread, so
    // a test waits until an enumeration shows what it expects.
    static bool WaitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(3000))
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return condition();
    }

    static std::unique_ptr<UsbDeviceList> Units()
    {
        return std::unique_ptr<UsbDeviceList>(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
    }

    // An entry of an enumeration together with the list that owns its device reference.
    struct Listed {
        std::unique_ptr<UsbDeviceList> list;
        UsbDevice* device = nullptr;
        explicit operator bool() const { return device != nullptr; }
        UsbDevice* operator->() const { return device; }
        const UsbDevice& operator*() const { return *device; }
    };

    // The listed unit with `serial` whose address is `address` (0: any).
    static Listed FindUnit(const std::string& serial, uint8_t address = 0)
    {
        Listed found{Units()};
        for (UsbDevice* d = found.list->GetFirst(); d != nullptr; d = found.list->GetNext()) {
            if (d->serialNumber == serial && (address == 0 || d->deviceAddress == address)) {
                found.device = d;
                break;
            }
        }
        return found;
    }

    // Waits until libusb lists the unit at its current address on the bus.
    bool WaitListed(const VirtualUnit& unit)
    {
        return WaitUntil(
            [&] { return static_cast<bool>(FindUnit(unit.Serial(), bus->DeviceAddress(unit))); });
    }

    std::unique_ptr<VirtualBus> bus;
    std::unique_ptr<UsbConnection> connection;
};
