#include "cli/UnitFacts.h"

#include "device/VersionTriple.h"
#include "gui/VantrelBase.h"
#include "session/FirmwareOffer.h"
#include "usb/UsbVantrel.h"

namespace {

const char* ModeName(const UsbDevice& record)
{
    switch (record.deviceSubClass) {
        case DEVICE_MODE_APPLICATION:
            return "application";
        case DEVICE_MODE_BOOTLOADER:
            return "bootloader";
        default:
            return "unknown";
    }
}

}  // namespace

std::string VersionWordText(uint32_t word)
{
    return FormatVersionText(DecodeBcdVersion(static_cast<uint16_t>(word)), DEVICE_MODE_APPLICATION);
}

UnitFacts FactsOf(const UsbDevice& record)
{
    UnitFacts facts;
    facts.serial = record.serialNumber;
    facts.mode = ModeName(record);
    const std::string version = FormatVersionText(record.version, DEVICE_MODE_APPLICATION);
    if (record.deviceSubClass == DEVICE_MODE_APPLICATION)
        facts.firmware = version;
    else if (record.deviceSubClass == DEVICE_MODE_BOOTLOADER)
        facts.bootloader = version;
    facts.bus = record.busNumber;
    facts.address = record.deviceAddress;
    facts.path = FormatUsbPath(record.busNumber, record.portNumber, record.deviceAddress);
    return facts;
}

void AskVersions(VantrelBase& unit, UnitFacts& facts)
{
    VersionTriple boot;
    if (unit.GetBootVersion(&boot) == 0)
        facts.bootloader = VersionWordText(boot.w2);
    VersionTriple firmware;
    if (unit.GetFirmwareVersion(&firmware) == 0)
        facts.firmware =
            HoldsApplication(firmware) ? std::optional(VersionWordText(firmware.w2)) : std::nullopt;
}

JsonObject FactsJson(const UnitFacts& facts)
{
    JsonObject json;
    json.Add("serial", facts.serial)
        .Add("mode", facts.mode)
        .Add("firmware", facts.firmware)
        .Add("bootloader", facts.bootloader)
        .Add("bus", static_cast<long>(facts.bus))
        .Add("address", static_cast<long>(facts.address))
        .Add("path", facts.path);
    return json;
}

std::string FactsLine(const UnitFacts& facts)
{
    return (facts.serial.empty() ? "-" : facts.serial) + "  " + facts.mode + "  firmware " +
           facts.firmware.value_or("-") + "  bootloader " + facts.bootloader.value_or("-") + "  " +
           facts.path;
}
