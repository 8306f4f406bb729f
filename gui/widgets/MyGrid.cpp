#include "gui/widgets/MyGrid.h"

#include <wx/dc.h>
#include <wx/settings.h>

wxIMPLEMENT_DYNAMIC_CLASS(MyGrid, wxGrid);

void MyGrid::DrawCornerLabel(wxDC& dc)
{
    wxGrid::DrawCornerLabel(dc);

    const int w = GetRowLabelSize();
    const int h = GetColLabelSize();
    const int h2 = h / 2;

    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW), 1, wxPENSTYLE_SOLID));
    dc.DrawLine(0, 0, h2 + 1, h2 + 1);
    dc.DrawLine(w - 1, h - 1, w - 2 - h2, h - 2 - h2);
    dc.DrawLine(h2, h2, w - h2 + w % 2, h2);
    dc.DrawLine(h2, h - 1 - h2, w - h2 + w % 2, h - 1 - h2);

    wxFont font = GetLabelFont();
    const wxSize pixels = font.GetPixelSize();
    if (pixels.y > 0) {
        font.SetPixelSize(wxSize(pixels.x * 2 / 3, pixels.y * 2 / 3));
    }
    dc.SetFont(font);
    dc.SetTextForeground(GetLabelTextColour());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    const int orientation = GetColLabelTextOrientation();
    DrawTextRectangle(dc, _("Gear"), wxRect(0, 0, w, h2), wxALIGN_RIGHT, wxALIGN_BOTTOM, orientation);
    DrawTextRectangle(dc, _("RPM"), wxRect(0, h2, w, h2), wxALIGN_LEFT, wxALIGN_TOP, orientation);
}
