// One discovered USB device: identity, strings and bus position read without
// opening it, plus the open handle, the three transfer primitives and the
// latched last error.
#pragma once

#include <cstdint>
#include <string>

#include "UsbSetupPacket.h"

struct libusb_device;
struct libusb_device_handle;

class UsbDevice {
public:
    UsbDevice() = default;
    // A copy carries identity, strings, version, class bytes, bus position and
    // the (borrowed) device reference; it is closed and its lastError is 0.
    UsbDevice(const UsbDevice& other);
    UsbDevice& operator=(const UsbDevice& other);
    virtual ~UsbDevice();  // closes an open handle; never unrefs the device

    virtual bool Open();
    virtual bool IsOpen() const;
    virtual bool Close();

    // Bytes transferred, or a negative libusb code; -1 when not open.
    int32_t ControlTransferIn(const UsbSetupPacket& setup, uint8_t* data, uint32_t timeoutMs);
    int32_t ControlTransferOut(const UsbSetupPacket& setup, const uint8_t* data, uint32_t timeoutMs);
    int32_t InterruptTransfer(uint8_t endpoint, uint8_t* data, int32_t length, uint32_t timeoutMs);

    int32_t GetLastError() const { return lastError; }
    void ClearLastError() { lastError = 0; }

    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string serialNumber;
    std::string productName;
    std::string manufacturerName;
    uint16_t version = 0;  // bcdDevice as a decimal number
    uint8_t deviceClass = 0;
    uint8_t deviceSubClass = 0;
    uint8_t deviceProtocol = 0;
    uint8_t numConfigurations = 0;
    uint8_t busNumber = 0;
    uint8_t portNumber = 0;
    uint8_t deviceAddress = 0;
    libusb_device* libusbDevice = nullptr;  // borrowed from the list
    libusb_device_handle* handle = nullptr;
    int32_t lastError = 0;

private:
    // Both control primitives: the direction is in bit 7 of bmRequestType.
    int32_t ControlTransfer(const UsbSetupPacket& setup, uint8_t* data, uint32_t timeoutMs);
};

// libusb's name of one of its codes ("LIBUSB_ERROR_TIMEOUT", "LIBUSB_SUCCESS",
// "**UNKNOWN**" for a code it does not know).
const char* UsbErrorName(int32_t code);

// bcdDevice -> decimal: 0x0108 -> 108, 0x01A0 -> 200 (nibbles are not checked).
uint16_t DecodeBcdVersion(uint16_t bcd);

// "USB %d:%d.%d" of bus, port and address.
std::string FormatUsbPath(uint8_t busNumber, uint8_t portNumber, uint8_t deviceAddress);
