// Whether a unit just connected is offered an update of its firmware.
#pragma once

#include <cstdint>
#include <optional>

#include "device/VersionTriple.h"
#include "fwimages/FwFile.h"

class UserSettings;
class VantrelBase;

enum class FirmwareOffer {
    None,           // no image for it, nothing newer, or the user refused it before
    Ask,            // the user is asked
    WithoutAsking,  // a unit stuck in its bootloader is updated at once
};

// A firmware word of 0xFFFF: the unit holds no valid application.
bool HoldsApplication(const VersionTriple& firmware);
// The image the unit's boot words name; false when there is none or it may
// not be written (FirmwareImagesMayBeWritten).
bool FindFirmwareImage(const VersionTriple& boot, FwFile& image);

// What the offer depends on, as read from the unit and the user settings.
struct FirmwareOfferFacts {
    std::optional<uint32_t> imageVersion;   // none: no image for the unit
    std::optional<VersionTriple> firmware;  // none: the unit did not answer
    bool bootloader = false;                // the unit runs its bootloader
    std::optional<long> refusedVersion;     // the newest version the user said no to
};
FirmwareOffer DecideFirmwareOffer(const FirmwareOfferFacts& facts);

// The facts of the connected unit; the image found is left in `image`.
FirmwareOffer OfferFirmwareTo(VantrelBase& unit, const UserSettings& settings, FwFile& image);
