// vantrel diff A B: the fields in which two configurations differ, each a
// settings file or the word "unit". Against the unit, a file's values are
// also compared as the unit would keep them, so that what its coarser scales
// round is no difference. Without a unit, files load as the window opens
// them without one.
#include <algorithm>
#include <ostream>

#include "cli/Commands.h"
#include "cli/DifferenceLines.h"
#include "cli/ExitStatus.h"
#include "cli/SettingsFiles.h"
#include "cli/UnitSession.h"
#include "gui/VantrelBase.h"

namespace {

constexpr const char* kUnitOperand = "unit";

// A file as compared with the unit: a field is the unit's where the unit
// holds either the file's value or the value it would keep of it (its coarser
// scales round some values on the way in, so a file read from it matches it
// as well as a file written into it).
DeviceConfiguration AsComparedWithUnit(const DeviceConfiguration& file, const DeviceConfiguration& stored,
                                       const DeviceConfiguration& unit)
{
    DeviceConfiguration compared = file;
    for (const FieldDifference& difference : DiffRecords(file, unit)) {
        if (FieldValue(stored, difference.field) == difference.theirs)
            FieldValue(compared, difference.field) = difference.theirs;
    }
    return compared;
}

}  // namespace

int DiffCommand(const Invocation& invocation, const Console& console)
{
    const std::vector<std::string>& operands = invocation.operands;
    const bool withUnit = std::find(operands.begin(), operands.end(), kUnitOperand) != operands.end();
    UnitSession session(console);
    DeviceConfiguration unit;
    if (withUnit) {
        if (const int status = session.OpenApplication(invocation.serial))
            return status;
        if (const int status = session.ReadConfiguration(unit))
            return status;
    }
    DeviceConfiguration sides[2];
    for (size_t i = 0; i < 2; ++i) {
        if (operands[i] == kUnitOperand) {
            sides[i] = unit;
            continue;
        }
        const LoadedFile file = LoadSettingsFile(session.Unit(), operands[i]);
        if (file.outcome != LoadedFile::Outcome::Loaded)
            return RefuseFile(console, operands[i], file);
        sides[i] =
            withUnit ? AsComparedWithUnit(file.config, session.AsStored(file.config), unit) : file.config;
    }
    const std::vector<FieldDifference> differences = DiffRecords(sides[0], sides[1]);
    PrintDifferences(console.out, differences, invocation.keys);
    return differences.empty() ? kExitSuccess : kExitDifferent;
}
