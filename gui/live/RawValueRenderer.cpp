#include "gui/live/RawValueRenderer.h"

#include <wx/dc.h>

void RawValueRenderer::Draw(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, const wxRect& rect, int row,
                            int col, bool isSelected)
{
    wxGridCellRenderer::Draw(grid, attr, dc, rect, row, col, isSelected);  // the background
    SetTextColoursAndFont(grid, attr, dc, isSelected);
    // Where the grid's renderer puts a line aligned to the top left: inside
    // the cell's one-pixel border, past the grid's one-pixel text margin.
    dc.DrawText(grid.GetCellValue(row, col), rect.x + 2, rect.y + 2);
}
