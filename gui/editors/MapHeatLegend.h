// The small key beside a map grid: the colour scale from 30 ms at the bottom
// to the map's maximum at the top, and the swatches of "off" (0) and of a
// value the unit does not take.
#pragma once

#include <wx/window.h>

#include "editor/MapGridRules.h"

class MapHeatLegend : public wxWindow {
public:
    MapHeatLegend(wxWindow* parent, MapGridKind kind);

protected:
    wxSize DoGetBestClientSize() const override;

private:
    void OnPaint(wxPaintEvent& event);

    MapGridKind kind;
};
