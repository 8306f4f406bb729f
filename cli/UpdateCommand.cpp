// vantrel update: the window's firmware update (gui/VantrelBaseUpdate.cpp:
// the same image, waits and recovery of a unit waiting in its bootloader).
// The unit's configuration is kept in its history before the update and
// after it; interrupts are held while the unit is being flashed.
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/Interrupts.h"
#include "cli/UnitSession.h"
#include "cli/UpdateReport.h"
#include "fwimages/FwFile.h"
#include "gui/VantrelBase.h"
#include "session/FirmwareOffer.h"
#include "usb/UsbVantrel.h"

namespace {

// Keeps what the unit holds before the update; a locked unit's configuration
// cannot be read, so the update goes on without it.
int KeepBeforeUpdate(UnitSession& session)
{
    if (session.Unit().GetDeviceMode() != DEVICE_MODE_APPLICATION)
        return kExitSuccess;
    std::optional<DeviceConfiguration> before;
    if (const int status = session.ReadUnlessLocked(before))
        return status;
    if (!before) {
        session.GetConsole().Say("The configuration is locked: no copy of it is kept before the update.");
        return kExitSuccess;
    }
    return session.KeepBeforeChange(*before);
}

// The unit comes back from the update as a new device: open it again and
// keep what it holds now.
int KeepAfterUpdate(UnitSession& session)
{
    if (const int status = session.Open(session.Serial()))
        return status;
    std::optional<DeviceConfiguration> after;
    if (const int status = session.ReadUnlessLocked(after))
        return status;
    if (after)
        session.Keep(*after, "update");
    return kExitSuccess;
}

}  // namespace

int UpdateCommand(const Invocation& invocation, const Console& console)
{
    UnitSession session(console);
    if (const int status = session.Open(invocation.serial))
        return status;
    if (!FirmwareImagesMayBeWritten()) {
        console.Say("The firmware images of this build are stand-ins and are never written to a unit.");
        return kExitRefused;
    }
    VantrelBase& unit = session.Unit();
    VersionTriple boot;
    VersionTriple firmware;
    if (const int32_t result = unit.GetBootVersion(&boot); result < 0)
        return session.UnitFailed("It's not possible to read information about hardware", result);
    if (const int32_t result = unit.GetFirmwareVersion(&firmware); result < 0)
        return session.UnitFailed("It's not possible to read information about hardware", result);
    FwFile image{};
    if (!FindFirmwareImage(boot, image)) {
        console.Say("No update available.");
        return kExitRefused;
    }
    if (HoldsApplication(firmware) && firmware.w2 >= image.version) {
        console.Say("Firmware is up to date.");
        return kExitSuccess;
    }
    console.Say("Unit " + session.Serial() + ": firmware " +
                (HoldsApplication(firmware) ? VersionWordText(firmware.w2) : std::string("missing")) +
                ", update " + VersionWordText(image.version) + ".");
    if (!Confirmed(
            console, invocation.yes,
            "A new firmware version is available for the connected device. Do you want to update to the "
            "latest firmware version?"))
        return kExitRefused;
    if (const int status = KeepBeforeUpdate(session))
        return status;

    int32_t result = 0;
    {
        const Interrupts held(Interrupts::Mode::Hold);
        const UpdateReport report(console);
        result = unit.UpdateFirmware(image, console.pacing);
    }
    if (result != 0)
        return session.UnitFailed("Firmware update failed!", result);
    console.Say("Firmware update finished successfully.");
    return KeepAfterUpdate(session);
}
