// A grid whose top-left corner names both axes: "Gear" for the columns above a
// broken diagonal, "RPM" for the rows below it.
#pragma once

#include <wx/grid.h>

class MyGrid : public wxGrid {
public:
    MyGrid() = default;
    MyGrid(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
           const wxSize& size = wxDefaultSize, long style = wxWANTS_CHARS,
           const wxString& name = wxGridNameStr)
        : wxGrid(parent, id, pos, size, style, name)
    {
    }

    void DrawCornerLabel(wxDC& dc) override;

private:
    wxDECLARE_DYNAMIC_CLASS(MyGrid);
};
