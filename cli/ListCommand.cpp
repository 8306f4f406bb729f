// vantrel list: every attached unit with its versions. Each unit is opened
// briefly to ask for the version of the personality it does not run; one
// that will not open (another program holds it) is listed from its
// descriptor alone.
#include <ostream>
#include <stdexcept>
#include <vector>

#include "cli/AttachedUnits.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/UnitFacts.h"
#include "gui/VantrelBase.h"

int ListCommand(const Invocation& invocation, const Console& console)
{
    const AttachedUnits units;
    std::vector<JsonObject> json;
    for (const UsbDevice* record : units.All()) {
        UnitFacts facts = FactsOf(*record);
        try {
            VantrelBase unit(*record);
            if (unit.Open()) {
                AskVersions(unit, facts);
                unit.Close();
            }
        } catch (const std::runtime_error&) {
            // A unit announcing neither personality: its descriptor is all there is.
        }
        if (invocation.json)
            json.push_back(FactsJson(facts));
        else
            console.out << FactsLine(facts) << '\n';
    }
    if (invocation.json)
        console.out << JsonArray(json) << '\n';
    if (units.All().empty()) {
        console.Say("No unit is attached.");
        return kExitNoUnit;
    }
    return kExitSuccess;
}
