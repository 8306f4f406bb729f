#include "cli/DifferenceLines.h"

#include "history/FieldLabels.h"

void PrintDifferences(std::ostream& out, const std::vector<FieldDifference>& differences, bool keys)
{
    for (const FieldDifference& difference : differences) {
        if (keys)
            out << difference.name << ' ' << difference.ours << ' ' << difference.theirs << '\n';
        else
            out << FieldLabel(difference.field) << ": " << difference.ours << " \u2192 " << difference.theirs
                << '\n';
    }
}
