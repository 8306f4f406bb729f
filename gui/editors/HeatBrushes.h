// The heat colours as the toolkit draws them, shared by the map grids' cells
// and their legend.
#pragma once

#include <wx/brush.h>
#include <wx/colour.h>

#include "editor/MapHeatColours.h"

wxColour ToColour(Rgb colour);
// Laid over the white of a value the unit does not take.
wxBrush InvalidCellHatch();
