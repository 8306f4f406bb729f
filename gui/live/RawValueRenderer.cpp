#include "gui/live/RawValueRenderer.h"

#include <wx/dc.h>
#include <wx/graphics.h>

void RawValueRenderer::Draw(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, const wxRect& rect, int row,
                            int col, bool isSelected)
{
    wxGridCellRenderer::Draw(grid, attr, dc, rect, row, col, isSelected);  // the background
    SetTextColoursAndFont(grid, attr, dc, isSelected);                     // as the string renderer does
    // Where the string renderer puts a line aligned to the top left: inside
    // the cell's one-pixel border, past the grid's one-pixel text margin.
    // Through the graphics context where there is one: the device context
    // measures every text it draws, for a bounding box no one asks for.
    const wxString text = grid.GetCellValue(row, col);
    if (wxGraphicsContext* gc = dc.GetGraphicsContext()) {
        gc->DrawText(text, rect.x + 2, rect.y + 2);
    } else {
        dc.DrawText(text, rect.x + 2, rect.y + 2);
    }
}

wxSize RawValueRenderer::GetBestSize(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, int row, int col)
{
    dc.SetFont(attr.GetFont());
    return dc.GetTextExtent(grid.GetCellValue(row, col)) + wxSize(4, 4);
}
