// The result of one enumeration: records in the library's order, one cursor.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "UsbDevice.h"

// Ordered (vendor id, product id) pairs. An empty filter keeps no device.
using DeviceIdFilter = std::vector<std::pair<uint16_t, uint16_t>>;

class UsbDeviceList {
public:
    UsbDeviceList() = default;
    UsbDeviceList(const UsbDeviceList&) = delete;
    UsbDeviceList& operator=(const UsbDeviceList&) = delete;
    virtual ~UsbDeviceList();  // unrefs every entry's device, in list order

    int32_t GetCount() const;
    UsbDevice* GetFirst();
    UsbDevice* GetNext();
    // nullptr for an index outside 0 .. GetCount() - 1.
    UsbDevice* GetAt(int32_t index);

    // Appends a record and takes one library reference on its device.
    void Append(const UsbDevice& device);

private:
    std::vector<UsbDevice> devices;
    size_t cursor = 0;
};

// Every attached device; the devices matching the filter; one (vid, pid) pair.
// Never null; the caller deletes the list.
UsbDeviceList* EnumerateDevices();
UsbDeviceList* EnumerateDevices(const DeviceIdFilter& filter);
UsbDeviceList* EnumerateDevices(uint16_t vendorId, uint16_t productId);
