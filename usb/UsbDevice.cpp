#include "UsbDevice.h"

#include <libusb.h>

#include <cstdio>

#include "UsbIds.h"

static_assert(USB_ERROR_ACCESS == LIBUSB_ERROR_ACCESS, "the windows name libusb's access code");

UsbDevice::UsbDevice(const UsbDevice& other)
    : vendorId(other.vendorId),
      productId(other.productId),
      serialNumber(other.serialNumber),
      productName(other.productName),
      manufacturerName(other.manufacturerName),
      version(other.version),
      deviceClass(other.deviceClass),
      deviceSubClass(other.deviceSubClass),
      deviceProtocol(other.deviceProtocol),
      numConfigurations(other.numConfigurations),
      busNumber(other.busNumber),
      portNumber(other.portNumber),
      deviceAddress(other.deviceAddress),
      libusbDevice(other.libusbDevice)
{
    // A copy never shares the handle: two owners would close it twice.
}

UsbDevice& UsbDevice::operator=(const UsbDevice& other)
{
    if (this == &other) {
        return *this;
    }
    if (handle != nullptr) {
        libusb_close(handle);
        handle = nullptr;
    }
    vendorId = other.vendorId;
    productId = other.productId;
    serialNumber = other.serialNumber;
    productName = other.productName;
    manufacturerName = other.manufacturerName;
    version = other.version;
    deviceClass = other.deviceClass;
    deviceSubClass = other.deviceSubClass;
    deviceProtocol = other.deviceProtocol;
    numConfigurations = other.numConfigurations;
    busNumber = other.busNumber;
    portNumber = other.portNumber;
    deviceAddress = other.deviceAddress;
    libusbDevice = other.libusbDevice;
    lastError = 0;
    return *this;
}

UsbDevice::~UsbDevice()
{
    if (handle != nullptr) {
        libusb_close(handle);
        handle = nullptr;
    }
}

bool UsbDevice::Open()
{
    if (IsOpen()) {
        lastError = LIBUSB_ERROR_OTHER;
        return false;
    }
    if (vendorId == 0 || productId == 0) {
        lastError = LIBUSB_ERROR_NOT_SUPPORTED;
        return false;
    }
    if (libusbDevice == nullptr) {
        // A record that did not come from an enumeration has nothing to open.
        lastError = LIBUSB_ERROR_NO_DEVICE;
        return false;
    }
    libusb_device_handle* opened = nullptr;
    const int result = libusb_open(libusbDevice, &opened);
    if (result < 0) {
        lastError = result;
        return false;
    }
    handle = opened;
    return true;
}

bool UsbDevice::IsOpen() const
{
    return handle != nullptr;
}

bool UsbDevice::Close()
{
    if (!IsOpen()) {
        lastError = LIBUSB_ERROR_OTHER;
        return false;
    }
    libusb_close(handle);
    handle = nullptr;
    return true;
}

int32_t UsbDevice::ControlTransferIn(const UsbSetupPacket& setup, uint8_t* data, uint32_t timeoutMs)
{
    return ControlTransfer(setup, data, timeoutMs);
}

int32_t UsbDevice::ControlTransferOut(const UsbSetupPacket& setup, const uint8_t* data, uint32_t timeoutMs)
{
    // libusb takes a non-const buffer for both directions; it only reads it for OUT requests.
    return ControlTransfer(setup, const_cast<uint8_t*>(data), timeoutMs);
}

int32_t UsbDevice::ControlTransfer(const UsbSetupPacket& setup, uint8_t* data, uint32_t timeoutMs)
{
    if (!IsOpen()) {
        return -1;
    }
    const int result = libusb_control_transfer(handle, setup.bmRequestType, setup.bRequest, setup.wValue,
                                               setup.wIndex, data, setup.wLength, timeoutMs);
    if (result < 0) {
        lastError = result;
    }
    return result;
}

int32_t UsbDevice::InterruptTransfer(uint8_t endpoint, uint8_t* data, int32_t length, uint32_t timeoutMs)
{
    if (!IsOpen()) {
        return -1;
    }
    int transferred = 0;
    const int result = libusb_interrupt_transfer(handle, endpoint, data, length, &transferred, timeoutMs);
    if (result < 0) {
        lastError = result;
        return result;
    }
    return transferred;
}

const char* UsbErrorName(int32_t code)
{
    return libusb_error_name(code);
}

uint16_t DecodeBcdVersion(uint16_t bcd)
{
    return static_cast<uint16_t>((bcd >> 12) * 1000 + ((bcd >> 8) & 0xF) * 100 + ((bcd >> 4) & 0xF) * 10 +
                                 (bcd & 0xF));
}

std::string FormatUsbPath(uint8_t busNumber, uint8_t portNumber, uint8_t deviceAddress)
{
    char text[32];
    std::snprintf(text, sizeof text, "USB %d:%d.%d", busNumber, portNumber, deviceAddress);
    return text;
}
