// Draws a cell of the live page's raw report grid, ten times a second: its
// text where the grid's string renderer puts a single line at the cell's top
// left, without measuring it. The values are short numbers that never
// overflow into the next cell, so the measuring the string renderer does for
// alignment and overflow (a text layout each) buys nothing here.
#pragma once

#include <wx/grid.h>

class RawValueRenderer : public wxGridCellRenderer {
public:
    void Draw(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, const wxRect& rect, int row, int col,
              bool isSelected) override;
    wxSize GetBestSize(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, int row, int col) override;
    wxGridCellRenderer* Clone() const override { return new RawValueRenderer; }
};
