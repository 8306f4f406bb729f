// Hand-made device records for the tests that need no bus: they are never
// opened, only used to choose and build device objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "usb/UsbDevice.h"
#include "usb/UsbIds.h"

inline UsbDevice MakeUnitRecord(uint16_t version, uint8_t subClass = 0, const std::string& serial = "VT-TEST")
{
    UsbDevice record;
    record.vendorId = UNIT_VENDOR_ID;
    record.productId = UNIT_PRODUCT_ID;
    record.version = version;
    record.deviceClass = UNIT_DEVICE_CLASS;
    record.deviceSubClass = subClass;
    record.serialNumber = serial;
    record.busNumber = 1;
    record.portNumber = 4;
    record.deviceAddress = 7;
    return record;
}

// A live report of `length` bytes holding the two periods, little-endian, as
// the unit sends them; the rest is zero.
inline std::vector<uint8_t> LiveReport(size_t length, uint16_t rpmPeriod, uint16_t speedPeriod)
{
    std::vector<uint8_t> report(length, 0);
    report[0] = rpmPeriod & 0xFF;
    report[1] = rpmPeriod >> 8;
    report[2] = speedPeriod & 0xFF;
    report[3] = speedPeriod >> 8;
    return report;
}
