// Choice of the device class from the version (bcdDevice as a decimal number)
// that a discovered unit reports.
#pragma once

#include <cstdint>
#include <memory>

#include "device/IBootloader.h"
#include "device/IVantrel.h"
#include "usb/UsbDevice.h"

// 0 -> VantrelSimul (record unused); 1 and 100 -> Vantrel100; 101 ... 108 ->
// Vantrel101 ... Vantrel108; anything else -> null. The object holds a closed
// copy of the record.
std::unique_ptr<IVantrel> CreateApplicationDevice(uint16_t version, const UsbDevice& record);

// 1 and 100 -> Bootloader100; 101 -> Bootloader101; anything else -> null.
std::unique_ptr<IBootloader> CreateBootloaderDevice(uint16_t version, const UsbDevice& record);

// The mode a record's unit runs in: DEVICE_MODE_APPLICATION or
// DEVICE_MODE_BOOTLOADER. Throws std::runtime_error("unknown device subclass")
// for any other subclass.
uint8_t GetRecordDeviceMode(const UsbDevice& record);
