#include "session/CommandEnabling.h"

#include "device/Features.h"
#include "gui/VantrelBase.h"

CommandEnabling EnablingFor(const ConnectionFacts& facts)
{
    const bool unit = facts.open && !facts.simulated;
    const bool unitReady = unit && !facts.bootloader;
    CommandEnabling enabling;
    enabling.readWrite = unitReady;
    enabling.lock = unitReady && facts.canLock;
    enabling.firmwareUpdate = unit;
    // A unit in its bootloader has no defaults to show.
    enabling.newAndEditors = !facts.bootloader;
    enabling.warmUp = facts.hasWarmUp;
    enabling.led = unitReady ? ConnectionLed::UnitReady
                             : (unit && facts.bootloader ? ConnectionLed::Bootloader : ConnectionLed::Unlit);
    return enabling;
}

ConnectionFacts FactsOf(VantrelBase& connection)
{
    // A bootloader connection answers every feature with -14: only a positive
    // answer counts, or a unit in its bootloader would pass for the simulated one.
    return {connection.IsOpen(), connection.GetFeature(FEATURE_SIMULATED) > 0,
            connection.GetDeviceMode() != 0, connection.GetFeature(FEATURE_LOCK) > 0,
            connection.GetFeature(FEATURE_WARMUP) > 0};
}
