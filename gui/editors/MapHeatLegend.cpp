#include "gui/editors/MapHeatLegend.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "editor/MapHeatColours.h"
#include "gui/editors/HeatBrushes.h"

namespace {

constexpr int kBarWidth = 14;
constexpr int kGap = 4;
constexpr int kSwatch = 12;

}  // namespace

MapHeatLegend::MapHeatLegend(wxWindow* parent, MapGridKind kind)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE), kind(kind)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetToolTip(kind == MapGridKind::Blipper ? _("Colour of the blip time: grey = off, lighter = longer")
                                            : _("Colour of the cut time: grey = off, lighter = longer"));
    Bind(wxEVT_PAINT, &MapHeatLegend::OnPaint, this);
}

wxSize MapHeatLegend::DoGetBestClientSize() const
{
    const int textWidth =
        std::max({GetTextExtent("888").x, GetTextExtent(_("off")).x, GetTextExtent(_("invalid")).x});
    return wxSize(kBarWidth + kGap + textWidth + 2, 8 * GetCharHeight());
}

void MapHeatLegend::OnPaint(wxPaintEvent& /*event*/)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));

    const wxSize size = GetClientSize();
    const int charHeight = GetCharHeight();
    // Below the bar: the two swatches, one text line each.
    const int top = charHeight / 2;
    const int bottom = size.y - 2 * (charHeight + kGap) - charHeight / 2;
    if (bottom <= top)
        return;

    const int maximum = static_cast<int>(MapCellMaximum(kind));
    for (int y = top; y <= bottom; ++y) {
        const double position = static_cast<double>(bottom - y) / (bottom - top);
        dc.SetPen(wxPen(ToColour(RampColour(position))));
        dc.DrawLine(0, y, kBarWidth, y);
    }
    // The two ends and the round values between them that leave room.
    const int minimum = static_cast<int>(kMapCellMinimum);
    const int step = maximum <= 150 ? 30 : 50;
    auto label = [&](int value) {
        const int y = bottom - (bottom - top) * (value - minimum) / (maximum - minimum);
        dc.DrawText(wxString::Format("%d", value), kBarWidth + kGap, y - charHeight / 2);
        return y;
    };
    label(minimum);
    const int topY = label(maximum);
    for (int value = (minimum / step + 1) * step; value < maximum; value += step) {
        const int y = bottom - (bottom - top) * (value - minimum) / (maximum - minimum);
        if (bottom - y >= charHeight && y - topY >= charHeight)
            label(value);
    }

    auto swatch = [&](int y, Rgb colour, bool hatched, const wxString& label) {
        dc.SetPen(*wxGREY_PEN);
        dc.SetBrush(wxBrush(ToColour(colour)));
        dc.DrawRectangle(0, y, kBarWidth, kSwatch);
        if (hatched) {
            dc.SetBrush(InvalidCellHatch());
            dc.DrawRectangle(0, y, kBarWidth, kSwatch);
        }
        dc.DrawText(label, kBarWidth + kGap, y + (kSwatch - charHeight) / 2);
    };
    const int off = bottom + charHeight / 2 + kGap;
    swatch(off, kFunctionOffColour, false, _("off"));
    swatch(off + charHeight + kGap, kInvalidCellColour, true, _("invalid"));
}
