// How diff and write show a difference of two records: one line per field,
// named as the window labels it ("Blipper map, 7,000 rpm, gear 2: 80 → 90")
// or by its settings key for scripts ("BlipperMap7000 80 90").
#pragma once

#include <ostream>
#include <vector>

#include "history/RecordDiff.h"

// Each difference as "ours → theirs".
void PrintDifferences(std::ostream& out, const std::vector<FieldDifference>& differences, bool keys);
