// Fixture of the tests that drive device objects against a virtual unit on
// the umockdev bus: plugs units, finds their records through the program's
// own enumeration, and reads back what the unit received.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "emulator/VirtualBus.h"
#include "usb/UsbDeviceList.h"

// The bus of this test program; null when it does not run under umockdev.
VirtualBus* TestBus();

class VirtualUnitTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Plugs a unit with a serial number of its own.
    VirtualUnit& Plug(UnitOptions options);
    // The record of the unit as the program's enumeration lists it (waits for
    // the unit to show up). The record lives until the test ends.
    const UsbDevice& RecordOf(const VirtualUnit& unit);

    VirtualBus& Bus() { return *TestBus(); }

private:
    std::vector<VirtualUnit*> plugged;
    std::vector<std::unique_ptr<UsbDeviceList>> lists;
};

// The 8 setup bytes in wire order (little-endian words).
std::array<uint8_t, 8> SetupBytes(const UsbSetupPacket& setup);
std::array<uint8_t, 8> SetupBytes(uint8_t type, uint8_t request, uint16_t value, uint16_t index,
                                  uint16_t length);

// A fault that fires once at `target` (a request code or FAULT_LIVE_ENDPOINT);
// a short transfer moves `shortLength` bytes.
FaultSpec Fault(FaultKind kind, int target, int32_t shortLength = -1);

// The vendor control requests the unit received, in order.
std::vector<RequestRecord> ControlRequests(const VirtualUnit& unit);
