// The units attached now (0xA600:0xE361, in libusb's order) and the one among
// them the user means.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "usb/UsbDeviceList.h"

class AttachedUnits {
public:
    AttachedUnits();

    const std::vector<const UsbDevice*>& All() const { return units; }
    // The one with this serial number (exact), or else the only one attached.
    // Null when there is no such unit, after saying so; several units and no
    // serial number are listed.
    const UsbDevice* Choose(const std::optional<std::string>& serial, const Console& console) const;

private:
    std::unique_ptr<UsbDeviceList> list;  // the records point into it
    std::vector<const UsbDevice*> units;
};
