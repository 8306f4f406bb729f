// vantrel lock: locks the unit's configuration, after keeping it in the
// unit's history (a locked unit no longer gives it out).
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/UnitSession.h"
#include "device/DeviceRequests.h"
#include "device/Features.h"
#include "gui/VantrelBase.h"

int LockCommand(const Invocation& invocation, const Console& console)
{
    UnitSession session(console);
    if (const int status = session.OpenApplication(invocation.serial))
        return status;
    VantrelBase& unit = session.Unit();
    if (unit.GetFeature(FEATURE_LOCK) <= 0) {
        console.Say("Locking is not supported");
        return kExitRefused;
    }
    DeviceConfiguration config;
    if (const int status = session.ReadConfiguration(config))
        return status;
    if (!Confirmed(console, invocation.yes, "Do you really want to lock the configuration?"))
        return kExitRefused;
    if (const int status = session.KeepBeforeChange(config))
        return status;

    if (const int32_t result = unit.SetLockState(LOCK_LOCKED); result != 0)
        return session.UnitFailed("Locking configuration failed", result);
    uint8_t state = 0;
    if (const int32_t result = unit.GetLockState(&state); result != 0)
        return session.UnitFailed("The lock was sent, but reading the lock state back failed", result);
    if (state == 0) {
        console.Say("The unit " + session.Serial() + " did not lock its configuration.");
        return kExitUnitFailed;
    }
    console.Say("Locked the configuration of the unit " + session.Serial() + ".");
    return kExitSuccess;
}
