#include "UsbVantrel.h"

#include <libusb.h>

#include <stdexcept>

#include "UsbIds.h"

bool UsbVantrel::Open()
{
    if (!UsbDevice::Open()) {
        return false;
    }
    int result = libusb_set_configuration(handle, 1);
    if (result < 0) {
        lastError = result;
        UsbDevice::Close();
        return false;
    }
    result = libusb_claim_interface(handle, 0);
    if (result < 0) {
        lastError = result;
        UsbDevice::Close();
        return false;
    }
    if (deviceClass != UNIT_DEVICE_CLASS) {
        // Not the unit: give the device back as we found it; lastError stays as it was.
        libusb_release_interface(handle, 0);
        UsbDevice::Close();
        return false;
    }
    return true;
}

bool UsbVantrel::IsOpen() const
{
    return UsbDevice::IsOpen();
}

bool UsbVantrel::Close()
{
    return UsbDevice::Close();
}

uint16_t UsbVantrel::GetVersion() const
{
    return version;
}

uint8_t UsbVantrel::GetDeviceMode() const
{
    switch (deviceSubClass) {
        case DEVICE_MODE_APPLICATION:
            return DEVICE_MODE_APPLICATION;
        case DEVICE_MODE_BOOTLOADER:
            return DEVICE_MODE_BOOTLOADER;
        default:
            throw std::runtime_error("unknown device subclass");
    }
}
