#include "gui/widgets/MyStatusBar.h"

#include "gui/widgets/wxStateLed.h"

wxIMPLEMENT_DYNAMIC_CLASS(MyStatusBar, wxStatusBar);

wxBEGIN_EVENT_TABLE(MyStatusBar, wxStatusBar) EVT_SIZE(MyStatusBar::OnSize) wxEND_EVENT_TABLE()

    MyStatusBar::MyStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name)
{
    Create(parent, id, style, name);
}

MyStatusBar::~MyStatusBar()
{
    delete m_led;
}

bool MyStatusBar::Create(wxWindow* parent, wxWindowID id, long style, const wxString& name)
{
    if (!wxStatusBar::Create(parent, id, style, name)) {
        return false;
    }
    const int widths[2] = {-1, 32};
    SetFieldsCount(2, widths);

    m_led = new wxStateLed(this, wxID_ANY, wxColour(128, 128, 128));
    m_led->SetColour(0, wxColour(255, 0, 0));
    m_led->SetColour(1, wxColour(255, 165, 0));
    m_led->SetColour(2, wxColour(0, 255, 0));
    SetMinHeight(m_led->GetBestSize().GetHeight());
    return true;
}

void MyStatusBar::SetLedState(int state)
{
    if (m_led) {
        m_led->SetState(state);
    }
}

void MyStatusBar::OnSize(wxSizeEvent& event)
{
    wxRect field;
    if (m_led && GetFieldRect(1, field)) {
        const wxSize led = m_led->GetSize();
        m_led->Move(field.x + (field.width - led.GetWidth()) / 2,
                    field.y + (field.height - led.GetHeight()) / 2);
    }
    event.Skip();
}
