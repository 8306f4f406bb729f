#include "cli/UnitSession.h"

#include <ostream>

#include "cli/AttachedUnits.h"
#include "cli/ExitStatus.h"
#include "config/ConfigurationImage.h"
#include "device/DeviceFactory.h"
#include "device/Features.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

namespace {

std::string UnitName(const std::string& serial)
{
    return serial.empty() ? "the unit without a serial number" : "unit " + serial;
}

}  // namespace

UnitSession::UnitSession(const Console& console) : console(console) {}

int UnitSession::Open(const std::optional<std::string>& wanted)
{
    const AttachedUnits units;
    const UsbDevice* chosen = units.Choose(wanted, console);
    if (chosen == nullptr)
        return kExitNoUnit;
    facts = FactsOf(*chosen);
    history = std::make_unique<UnitHistory>(facts.serial);
    const ConnectResult result = connection.ReplaceWith(*chosen);
    switch (result.outcome) {
        case ConnectOutcome::Opened:
            return kExitSuccess;
        case ConnectOutcome::NoDevice:
        case ConnectOutcome::NotBuilt:
            console.Say("Cannot use " + UnitName(facts.serial) +
                        ": it runs neither its application nor its bootloader.");
            return kExitUnitFailed;
        case ConnectOutcome::NotOpened:
            break;
    }
    if (chosen->deviceSubClass == DEVICE_MODE_APPLICATION &&
        !CreateApplicationDevice(chosen->version, *chosen)) {
        console.Say("The firmware " + FormatVersionText(chosen->version, DEVICE_MODE_APPLICATION) + " of " +
                    UnitName(facts.serial) + " is newer than this program knows.");
        return kExitRefused;
    }
    if (result.openError == USB_ERROR_ACCESS) {
        console.Say(
            "This user may not open " + UnitName(facts.serial) +
            " (LIBUSB_ERROR_ACCESS). Install the USB rule 70-vantrel.rules that comes with the package, "
            "run \"sudo udevadm control --reload\" and plug the unit in again.");
    } else {
        console.Say("Opening " + UnitName(facts.serial) + " failed: " + UsbErrorName(result.openError));
    }
    return kExitUnitFailed;
}

int UnitSession::OpenApplication(const std::optional<std::string>& wanted)
{
    if (const int status = Open(wanted))
        return status;
    if (connection->GetDeviceMode() != DEVICE_MODE_BOOTLOADER)
        return kExitSuccess;
    console.Say("Cannot use " + UnitName(facts.serial) +
                ": it waits in its bootloader and holds no configuration; update its firmware first "
                "(vantrel update).");
    return kExitRefused;
}

int UnitSession::ReadLockState(bool& locked)
{
    locked = false;
    if (connection->GetFeature(FEATURE_LOCK) <= 0)
        return kExitSuccess;
    uint8_t state = 0;
    if (const int32_t result = connection->GetLockState(&state); result != 0)
        return UnitFailed("Reading the lock state failed", result);
    locked = state != 0;
    return kExitSuccess;
}

int UnitSession::ReadUnlessLocked(std::optional<DeviceConfiguration>& config)
{
    config.reset();
    bool locked = false;
    if (const int status = ReadLockState(locked))
        return status;
    if (locked)
        return kExitSuccess;
    ClearConfiguration(config.emplace());
    if (const int32_t result = connection->ReadConfiguration(&*config); result != 0) {
        config.reset();
        return UnitFailed("Configuration reading failed", result);
    }
    return kExitSuccess;
}

int UnitSession::ReadConfiguration(DeviceConfiguration& config)
{
    std::optional<DeviceConfiguration> read;
    if (const int status = ReadUnlessLocked(read))
        return status;
    if (!read) {
        console.Say("Configuration is locked");
        return kExitRefused;
    }
    config = *read;
    return kExitSuccess;
}

bool UnitSession::Keep(const DeviceConfiguration& config, const char* event)
{
    std::string error;
    if (history->Keep(config, event, error))
        return true;
    console.Say(error);
    return false;
}

int UnitSession::KeepBeforeChange(const DeviceConfiguration& config)
{
    if (Keep(config, "read"))
        return kExitSuccess;
    console.Say("Nothing was changed: a copy of the unit's configuration must be kept first.");
    return kExitRefused;
}

DeviceConfiguration UnitSession::AsStored(const DeviceConfiguration& config) const
{
    // The generations that offer the gear-detection choice keep it, with the
    // speed sensor and the ratios, in the long image.
    const ImageFormat format =
        connection->GetFeature(FEATURE_GEAR_DETECTION_CHOICE) > 0 ? ImageFormat::Long : ImageFormat::Short;
    return AsStoredInImage(config, format);
}

int UnitSession::UnitFailed(const std::string& what, int32_t code)
{
    const auto& lines = failures.Lines();
    if (failuresSaid == lines.size()) {
        console.Say(what + " (error " + std::to_string(code) + ").");
        return kExitUnitFailed;
    }
    console.Say(what + ":");
    for (; failuresSaid < lines.size(); ++failuresSaid)
        console.err << "  " << lines[failuresSaid] << '\n';
    return kExitUnitFailed;
}
