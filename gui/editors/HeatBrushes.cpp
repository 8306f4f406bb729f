#include "gui/editors/HeatBrushes.h"

wxColour ToColour(Rgb colour)
{
    return wxColour(colour.red, colour.green, colour.blue);
}

wxBrush InvalidCellHatch()
{
    return wxBrush(wxColour(170, 170, 170), wxBRUSHSTYLE_BDIAGONAL_HATCH);
}
