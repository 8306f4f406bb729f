// vantrel write: a settings file into the unit, as the window's Open and
// Write would put it there, and checked afterwards: the unit's image is read
// back and must hold what was written (as the unit keeps it). The unit's
// configuration before the write is kept in its history first.
#include <ostream>

#include "cli/Commands.h"
#include "cli/DifferenceLines.h"
#include "cli/ExitStatus.h"
#include "cli/SettingsFiles.h"
#include "cli/UnitSession.h"
#include "gui/VantrelBase.h"

int WriteCommand(const Invocation& invocation, const Console& console)
{
    UnitSession session(console);
    if (const int status = session.OpenApplication(invocation.serial))
        return status;
    const std::string& path = invocation.operands.front();
    const LoadedFile file = LoadSettingsFile(session.Unit(), path);
    if (file.outcome != LoadedFile::Outcome::Loaded)
        return RefuseFile(console, path, file);
    DeviceConfiguration current;
    if (const int status = session.ReadConfiguration(current))
        return status;

    const DeviceConfiguration wanted = session.AsStored(file.config);
    const std::string unit = "unit " + session.Serial();
    if (current == wanted) {
        console.Say("The " + unit + " holds this configuration already; nothing was written.");
        return kExitSuccess;
    }
    console.Say("Writing " + path + " changes in the " + unit + " (unit → file):");
    const std::vector<FieldDifference> changes = DiffRecords(current, wanted);
    PrintDifferences(console.out, changes, false);
    // The window keeps a map's 1000 rpm cell equal to its 2000 rpm cell and
    // shows neither it nor a difference in it.
    if (changes.empty())
        console.out << "the maps' 1,000 rpm cells, which the window does not show\n";
    console.out << std::flush;
    if (!Confirmed(console, invocation.yes, "Do you really want to write configuration into device?"))
        return kExitRefused;
    if (const int status = session.KeepBeforeChange(current))
        return status;

    if (const int32_t result = session.Unit().WriteConfiguration(file.config); result != 0)
        return session.UnitFailed("Configuration writing failed", result);
    DeviceConfiguration written;
    ClearConfiguration(written);
    if (const int32_t result = session.Unit().ReadConfiguration(&written); result != 0)
        return session.UnitFailed("The configuration was written, but reading it back failed", result);
    if (written != wanted) {
        console.Say("The " + unit + " holds something else than was written (unit → file):");
        PrintDifferences(console.err, DiffRecords(written, wanted), false);
        session.Keep(written, "read");
        return kExitUnitFailed;
    }
    session.Keep(file.config, "write");
    console.Say("Wrote " + path + " into the " + unit + " and read it back.");
    return kExitSuccess;
}
