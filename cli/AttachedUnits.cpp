#include "cli/AttachedUnits.h"

#include <ostream>

#include "cli/UnitFacts.h"
#include "usb/UsbIds.h"

AttachedUnits::AttachedUnits() : list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID))
{
    for (UsbDevice* record = list->GetFirst(); record != nullptr; record = list->GetNext())
        units.push_back(record);
}

const UsbDevice* AttachedUnits::Choose(const std::optional<std::string>& serial, const Console& console) const
{
    if (serial) {
        for (const UsbDevice* unit : units) {
            if (unit->serialNumber == *serial)
                return unit;
        }
        console.Say("No unit with the serial number " + *serial + " is attached.");
        return nullptr;
    }
    if (units.size() == 1)
        return units.front();
    if (units.empty()) {
        console.Say("No unit is attached.");
        return nullptr;
    }
    console.Say("Several units are attached; choose one with --serial:");
    for (const UsbDevice* unit : units)
        console.err << "  " << FactsLine(FactsOf(*unit)) << '\n';
    return nullptr;
}
