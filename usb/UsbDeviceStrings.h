// Reads a device's serial number, product and manufacturer strings without
// opening it, so that enumeration leaves every device closed and works
// without write access to other people's devices.
#pragma once

#include <libusb.h>

#include <string>

struct DeviceStrings {
    std::string serialNumber;
    std::string productName;
    std::string manufacturerName;
};

// Each string is read only when its index in the descriptor is not 0, in the
// order serial number, product, manufacturer; an unreadable one stays empty.
DeviceStrings ReadDeviceStrings(libusb_device* device, const libusb_device_descriptor& descriptor);

// The directory name of a device under /sys/bus/usb/devices: "<bus>-<port>[.<port>...]",
// "usb<bus>" for a root hub, or empty when the library cannot tell the port path.
std::string SysfsDeviceName(libusb_device* device);
