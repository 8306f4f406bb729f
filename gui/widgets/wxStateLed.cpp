#include "gui/widgets/wxStateLed.h"

#include <wx/bitmap.h>
#include <wx/dcclient.h>

#include <array>
#include <string>

wxIMPLEMENT_DYNAMIC_CLASS(wxStateLed, wxWindow);

wxBEGIN_EVENT_TABLE(wxStateLed, wxWindow) EVT_PAINT(wxStateLed::OnPaint) wxEND_EVENT_TABLE()

    namespace
{
    // '-' rim, '_' lower shade, '*' highlight, 'X' the LED colour, ' ' transparent.
    constexpr std::array<const char*, 17> kPixels = {
        "      -----      ", "    ---------    ", "   -----------   ", "  -----XXX----_  ",
        " ----XX**XXX-___ ", " ---X***XXXXX___ ", "----X**XXXXXX____", "---X**XXXXXXXX___",
        "---XXXXXXXXXXX___", "---XXXXXXXXXXX___", "----XXXXXXXXX____", " ---XXXXXXXXX___ ",
        " ---_XXXXXXX____ ", "  _____XXX_____  ", "   ___________   ", "    _________    ",
        "      _____      ",
    };

    // The colour line of the XPM. An invalid colour has no HTML text; the XPM decoder
    // would reject an empty colour (and log an error), so such a LED centre is drawn
    // transparent instead.
    std::string ColourLine(const wxColour& colour)
    {
        std::string text = colour.IsOk() ? colour.GetAsString(wxC2S_HTML_SYNTAX).ToStdString() : "";
        if (text.size() > 8) {
            text.resize(8);
        }
        if (text.empty()) {
            text = "None";
        }
        return "X c " + text;
    }

}  // namespace

wxStateLed::wxStateLed(wxWindow* parent, wxWindowID id, const wxColour& disableColour)
{
    Create(parent, id, disableColour);
}

wxStateLed::~wxStateLed()
{
    wxMutexLocker lock(m_bitmapLock);
    delete m_bitmap;
    m_bitmap = nullptr;
}

bool wxStateLed::Create(wxWindow* parent, wxWindowID id, const wxColour& disableColour, const wxPoint& pos,
                        const wxString& name)
{
    if (!wxWindow::Create(parent, id, pos, wxSize(kSize, kSize), 0, name)) {
        return false;
    }
    SetMinSize(wxSize(kSize, kSize));
    m_disableColour = disableColour;
    m_state = -1;
    wxStateLed::Enable(true);
    return true;
}

void wxStateLed::SetColour(int32_t state, const wxColour& colour)
{
    m_colours[state] = colour;
}

void wxStateLed::SetState(int32_t state)
{
    if (state == m_state) {
        return;
    }
    m_state = state;
    const auto found = m_colours.find(state);
    if (found != m_colours.end()) {
        m_lit = true;
        Draw(found->second);
    } else {
        Draw(m_disableColour);
    }
}

bool wxStateLed::Enable(bool enable)
{
    if (!enable) {
        if (!m_lit) {
            return false;
        }
        m_lit = false;
        Draw(m_disableColour);
        return true;
    }
    if (m_lit) {
        return false;
    }
    const auto found = m_colours.find(m_state);
    if (found != m_colours.end()) {
        Draw(found->second);
        m_lit = true;
    } else {
        Draw(m_disableColour);
    }
    return true;
}

void wxStateLed::SetDisableColour(const wxColour& colour)
{
    m_disableColour = colour;
    if (!IsThisEnabled()) {
        Draw(m_disableColour);
    }
}

wxBitmap wxStateLed::GetBitmap()
{
    wxMutexLocker lock(m_bitmapLock);
    return m_bitmap ? *m_bitmap : wxBitmap();
}

void wxStateLed::Draw(const wxColour& colour)
{
    const std::string colourLine = ColourLine(colour);
    std::array<const char*, 6 + kPixels.size()> xpm{
        "17 17 5 1", "  c None", "- c #C0C0C0", "_ c #F8F8F8", "* c #FFFFFF", colourLine.c_str(),
    };
    for (size_t row = 0; row < kPixels.size(); ++row) {
        xpm[6 + row] = kPixels[row];
    }
    auto* bitmap = new wxBitmap(xpm.data());
    {
        wxMutexLocker lock(m_bitmapLock);
        delete m_bitmap;
        m_bitmap = bitmap;
    }
    Refresh();
}

void wxStateLed::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    wxMutexLocker lock(m_bitmapLock);
    if (m_bitmap && m_bitmap->IsOk()) {
        dc.DrawBitmap(*m_bitmap, 0, 0, true);
    }
}
