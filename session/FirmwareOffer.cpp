#include "FirmwareOffer.h"

#include <string>

#include "UserSettings.h"
#include "gui/VantrelBase.h"
#include "usb/UsbVantrel.h"

bool HoldsApplication(const VersionTriple& firmware)
{
    return firmware.w0 != VERSION_WORD_INVALID && firmware.w1 != VERSION_WORD_INVALID &&
           firmware.w2 != VERSION_WORD_INVALID;
}

bool FindFirmwareImage(const VersionTriple& boot, FwFile& image)
{
    return FirmwareImagesMayBeWritten() &&
           GetFwFile(static_cast<int32_t>(boot.w1), static_cast<int32_t>(boot.w0),
                     static_cast<int32_t>(boot.w2), &image) != 0;
}

FirmwareOffer DecideFirmwareOffer(const FirmwareOfferFacts& facts)
{
    if (!facts.imageVersion) {
        return FirmwareOffer::None;
    }
    if (!facts.firmware) {
        return facts.bootloader ? FirmwareOffer::WithoutAsking : FirmwareOffer::None;
    }
    if (HoldsApplication(*facts.firmware) && facts.firmware->w2 >= *facts.imageVersion) {
        return FirmwareOffer::None;
    }
    // A unit in its bootloader is always asked.
    if (facts.refusedVersion && static_cast<long>(*facts.imageVersion) <= *facts.refusedVersion &&
        !facts.bootloader) {
        return FirmwareOffer::None;
    }
    return FirmwareOffer::Ask;
}

FirmwareOffer OfferFirmwareTo(VantrelBase& unit, const UserSettings& settings, FwFile& image)
{
    VersionTriple boot;
    if (unit.GetBootVersion(&boot) < 0) {
        return FirmwareOffer::None;
    }
    // Asked in this order, and only as far as needed: the unit sees the same
    // requests whatever the answer.
    if (!FindFirmwareImage(boot, image)) {
        return FirmwareOffer::None;
    }
    FirmwareOfferFacts facts;
    facts.imageVersion = image.version;
    VersionTriple firmware;
    if (unit.GetFirmwareVersion(&firmware) >= 0) {
        facts.firmware = firmware;
    }
    facts.bootloader = unit.GetDeviceMode() == DEVICE_MODE_BOOTLOADER;
    FirmwareOffer offer = DecideFirmwareOffer(facts);
    if (offer == FirmwareOffer::Ask) {
        facts.refusedVersion = settings.ReadRefusedFirmwareVersion(unit.GetSerialNumber());
        offer = DecideFirmwareOffer(facts);
    }
    return offer;
}
