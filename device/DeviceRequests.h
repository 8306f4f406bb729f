// The unit's vendor requests and live report as they appear on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

#include "usb/UsbSetupPacket.h"

// bmRequestType: vendor request addressed to interface 0.
inline constexpr uint8_t REQUEST_TYPE_IN = 0xC1;   // device to host
inline constexpr uint8_t REQUEST_TYPE_OUT = 0x41;  // host to device

// bRequest codes.
inline constexpr uint8_t REQ_CONFIG = 0x00;  // configuration image read and write
inline constexpr uint8_t REQ_BOOT = 0x01;    // version triples (IN), restarts (OUT)
inline constexpr uint8_t REQ_FLASH = 0x02;   // erase and block write; bootloader only
inline constexpr uint8_t REQ_MODE = 0x03;    // operating mode (OUT)
inline constexpr uint8_t REQ_LOCK = 0x04;    // configuration lock (IN and OUT)

// wValue of the REQ_BOOT forms: IN 1 reads the firmware version, IN 0 the boot
// version; OUT 1 restarts into the bootloader, OUT 0 into the application.
inline constexpr uint16_t BOOT_VALUE_BOOTLOADER = 0;
inline constexpr uint16_t BOOT_VALUE_FIRMWARE = 1;
inline constexpr uint16_t BOOT_VALUE_ACTIVATE_BOOTLOADER = 1;
inline constexpr uint16_t BOOT_VALUE_ACTIVATE_APPLICATION = 0;

// Length of the VersionTriple payload of the two version reads.
inline constexpr uint16_t VERSION_REPLY_LENGTH = 6;
// Length of the lock byte answer.
inline constexpr uint16_t LOCK_REPLY_LENGTH = 1;

// Operating modes sent with REQ_MODE. Any other value is the index of the FFT
// setting chosen by the user.
inline constexpr uint16_t MODE_NORMAL = 0;
inline constexpr uint16_t MODE_WARMUP = 3;

// The only lock value the program sends; a lock byte of 0 means unlocked.
inline constexpr uint8_t LOCK_LOCKED = 1;

// Interrupt endpoint of the live report and its lengths per generation.
inline constexpr uint8_t LIVE_ENDPOINT = 0x81;
inline constexpr size_t LIVE_REPORT_LENGTH_100 = 16;  // generations 100 to 106
inline constexpr size_t LIVE_REPORT_LENGTH_107 = 18;  // adds the rpm/speed ratio
inline constexpr size_t LIVE_REPORT_LENGTH_108 = 19;  // adds the supply reading

// Every control request the program sends to the unit, with the name the
// failure log gives it. The setup records are built here and nowhere else.
struct NamedRequest {
    const char* name;
    UsbSetupPacket setup;
};

constexpr NamedRequest VendorIn(const char* name, uint8_t request, uint16_t value, uint16_t length)
{
    return {name, MakeSetupPacket(REQUEST_TYPE_IN, request, value, length)};
}

constexpr NamedRequest VendorOut(const char* name, uint8_t request, uint16_t value, uint16_t length = 0)
{
    return {name, MakeSetupPacket(REQUEST_TYPE_OUT, request, value, length)};
}

// Application and bootloader alike.
inline constexpr NamedRequest READ_BOOT_VERSION =
    VendorIn("read boot version", REQ_BOOT, BOOT_VALUE_BOOTLOADER, VERSION_REPLY_LENGTH);
inline constexpr NamedRequest READ_FIRMWARE_VERSION =
    VendorIn("read firmware version", REQ_BOOT, BOOT_VALUE_FIRMWARE, VERSION_REPLY_LENGTH);
inline constexpr NamedRequest ACTIVATE_BOOTLOADER =
    VendorOut("activate bootloader", REQ_BOOT, BOOT_VALUE_ACTIVATE_BOOTLOADER);
inline constexpr NamedRequest ACTIVATE_APPLICATION =
    VendorOut("activate application", REQ_BOOT, BOOT_VALUE_ACTIVATE_APPLICATION);

// Application only.
constexpr NamedRequest ReadConfigurationRequest(uint16_t imageLength)
{
    return VendorIn("read configuration", REQ_CONFIG, 0, imageLength);
}
constexpr NamedRequest WriteConfigurationRequest(uint16_t imageLength)
{
    return VendorOut("write configuration", REQ_CONFIG, 0, imageLength);
}
constexpr NamedRequest SetModeRequest(uint16_t mode)
{
    return VendorOut("set mode", REQ_MODE, mode);
}
inline constexpr NamedRequest GET_LOCK_STATE = VendorIn("get lock state", REQ_LOCK, 0, LOCK_REPLY_LENGTH);
constexpr NamedRequest SetLockStateRequest(uint8_t state)
{
    return VendorOut("set lock state", REQ_LOCK, state);
}

// Bootloader only; wValue is the block number.
constexpr NamedRequest EraseRequest(uint16_t block)
{
    return VendorOut("erase flash", REQ_FLASH, block);
}
constexpr NamedRequest WriteBlockRequest(uint16_t block, uint16_t length)
{
    return VendorOut("write flash block", REQ_FLASH, block, length);
}

// The name of the interrupt read of the live report.
inline constexpr const char* LIVE_REPORT_READ_NAME = "read live report";
