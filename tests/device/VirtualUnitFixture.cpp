#include "VirtualUnitFixture.h"

#include <chrono>
#include <thread>

#include "usb/UsbIds.h"

namespace {
int nextSerial = 1;
}

void VirtualUnitTest::SetUp()
{
    if (TestBus() == nullptr) {
        GTEST_SKIP() << "not running under umockdev-wrapper; no virtual bus";
    }
}

void VirtualUnitTest::TearDown()
{
    lists.clear();
    if (TestBus() == nullptr) {
        return;
    }
    Bus().WaitIdle();
    for (VirtualUnit* unit : plugged) {
        if (Bus().IsAttached(*unit)) {
            Bus().Unplug(*unit);
        }
    }
}

VirtualUnit& VirtualUnitTest::Plug(UnitOptions options)
{
    options.serial = "VT" + std::to_string(100000 + nextSerial++);
    VirtualUnit& unit = Bus().AddUnit(options);
    plugged.push_back(&unit);
    return unit;
}

const UsbDevice& VirtualUnitTest::RecordOf(const VirtualUnit& unit)
{
    // libusb learns of a new device through its hot-plug thread; give it a
    // moment rather than failing on the first enumeration.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        std::unique_ptr<UsbDeviceList> list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
        for (UsbDevice* record = list->GetFirst(); record != nullptr; record = list->GetNext()) {
            if (record->serialNumber == unit.Serial() && record->deviceAddress == Bus().DeviceAddress(unit)) {
                lists.push_back(std::move(list));
                return *record;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "unit " << unit.Serial() << " not listed";
            static const UsbDevice none;
            return none;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::array<uint8_t, 8> SetupBytes(uint8_t type, uint8_t request, uint16_t value, uint16_t index,
                                  uint16_t length)
{
    return {type,
            request,
            static_cast<uint8_t>(value & 0xFF),
            static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(index & 0xFF),
            static_cast<uint8_t>(index >> 8),
            static_cast<uint8_t>(length & 0xFF),
            static_cast<uint8_t>(length >> 8)};
}

std::array<uint8_t, 8> SetupBytes(const UsbSetupPacket& setup)
{
    return SetupBytes(setup.bmRequestType, setup.bRequest, setup.wValue, setup.wIndex, setup.wLength);
}

FaultSpec Fault(FaultKind kind, int target, int32_t shortLength)
{
    FaultSpec fault;
    fault.kind = kind;
    fault.target = target;
    fault.shortLength = shortLength;
    return fault;
}

std::vector<RequestRecord> ControlRequests(const VirtualUnit& unit)
{
    std::vector<RequestRecord> requests;
    for (const RequestRecord& record : unit.RequestLog()) {
        // Vendor requests only: what libusb itself asks is not the program's.
        if (record.kind == RequestRecord::Kind::Control && (record.setup.bmRequestType & 0x60) == 0x40) {
            requests.push_back(record);
        }
    }
    return requests;
}
