// The names of the undo steps of the user's edits, as the Edit menu shows them
// after "Undo" and "Redo".
#pragma once

#include <string>
#include <string_view>

#include "editor/EditorBindings.h"
#include "editor/MapGridRules.h"

// A change of one control: "Shift light speed", "Input 3 function", ...
const char* EditStepName(EditorControl control);
// A typed map cell: "Blipper map cell" or "Shifter map cell".
const char* MapCellStepName(MapGridKind kind);

// A take-value button by its layout name: "Take TPS minimum", "Take gear 3
// voltage", "Take gear 2 ratio", ...; empty for any other button.
std::string TakeValueStepName(std::string_view buttonName);
