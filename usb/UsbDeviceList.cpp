#include "UsbDeviceList.h"

#include <libusb.h>

#include <algorithm>

#include "UsbDeviceStrings.h"

UsbDeviceList::~UsbDeviceList()
{
    for (UsbDevice& device : devices) {
        if (device.libusbDevice != nullptr) {
            libusb_unref_device(device.libusbDevice);
        }
    }
}

int32_t UsbDeviceList::GetCount() const
{
    return static_cast<int32_t>(devices.size());
}

UsbDevice* UsbDeviceList::GetFirst()
{
    cursor = 0;
    return devices.empty() ? nullptr : &devices[0];
}

UsbDevice* UsbDeviceList::GetNext()
{
    if (cursor >= devices.size()) {
        return nullptr;
    }
    ++cursor;
    return cursor < devices.size() ? &devices[cursor] : nullptr;
}

UsbDevice* UsbDeviceList::GetAt(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= devices.size()) {
        return nullptr;
    }
    return &devices[static_cast<size_t>(index)];
}

void UsbDeviceList::Append(const UsbDevice& device)
{
    if (device.libusbDevice != nullptr) {
        libusb_ref_device(device.libusbDevice);
    }
    devices.push_back(device);
}

namespace {

bool FilterKeeps(const DeviceIdFilter* filter, uint16_t vendorId, uint16_t productId)
{
    if (filter == nullptr) {
        return true;
    }
    return std::any_of(filter->begin(), filter->end(), [&](const std::pair<uint16_t, uint16_t>& pair) {
        return pair.first == vendorId && pair.second == productId;
    });
}

UsbDeviceList* Enumerate(const DeviceIdFilter* filter)
{
    auto* list = new UsbDeviceList();
    libusb_device** found = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &found);
    if (count <= 0) {
        if (found != nullptr) {
            libusb_free_device_list(found, 1);
        }
        return list;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = found[i];
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) < 0) {
            continue;
        }
        if (!FilterKeeps(filter, descriptor.idVendor, descriptor.idProduct)) {
            continue;
        }
        UsbDevice record;
        record.vendorId = descriptor.idVendor;
        record.productId = descriptor.idProduct;
        record.deviceClass = descriptor.bDeviceClass;
        record.deviceSubClass = descriptor.bDeviceSubClass;
        record.deviceProtocol = descriptor.bDeviceProtocol;
        record.numConfigurations = descriptor.bNumConfigurations;
        record.busNumber = libusb_get_bus_number(device);
        record.portNumber = libusb_get_port_number(device);
        record.deviceAddress = libusb_get_device_address(device);
        const DeviceStrings strings = ReadDeviceStrings(device, descriptor);
        record.serialNumber = strings.serialNumber;
        record.productName = strings.productName;
        record.manufacturerName = strings.manufacturerName;
        record.version = DecodeBcdVersion(descriptor.bcdDevice);
        record.libusbDevice = device;
        list->Append(record);
    }
    libusb_free_device_list(found, 1);
    return list;
}

}  // namespace

UsbDeviceList* EnumerateDevices()
{
    return Enumerate(nullptr);
}

UsbDeviceList* EnumerateDevices(const DeviceIdFilter& filter)
{
    return Enumerate(&filter);
}

UsbDeviceList* EnumerateDevices(uint16_t vendorId, uint16_t productId)
{
    const DeviceIdFilter filter{{vendorId, productId}};
    return Enumerate(&filter);
}
