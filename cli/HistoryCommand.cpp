// vantrel history: the unit's history entries, newest first, as the
// window's History lists them: time, event and file. With --serial the
// unit need not be attached.
#include <ostream>

#include "cli/AttachedUnits.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/UnitHistory.h"
#include "session/HistoryTexts.h"

int HistoryCommand(const Invocation& invocation, const Console& console)
{
    std::string serial;
    if (invocation.serial) {
        serial = *invocation.serial;
    } else {
        const AttachedUnits units;
        const UsbDevice* unit = units.Choose(std::nullopt, console);
        if (unit == nullptr)
            return kExitNoUnit;
        serial = unit->serialNumber;
    }
    const UnitHistory history(serial);
    const std::vector<HistoryEntry> entries = history.Entries();
    for (const HistoryEntry& entry : entries) {
        console.out << EntryTimeText(entry.record).utf8_string() << "  " << entry.record.event << "  "
                    << entry.path.string() << (entry.readable ? "" : "  (unreadable)") << '\n';
    }
    if (entries.empty())
        console.Say("No history entries of the unit " + serial + ".");
    return kExitSuccess;
}
