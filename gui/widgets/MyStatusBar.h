// The main window's status bar: a text field and a 32-pixel field with the
// connection LED (0 red: not connected, 1 orange: bootloader, 2 green: connected).
#pragma once

#include <wx/statusbr.h>

class wxStateLed;

class MyStatusBar : public wxStatusBar {
public:
    MyStatusBar() = default;
    MyStatusBar(wxWindow* parent, wxWindowID id = wxID_ANY, long style = wxSTB_DEFAULT_STYLE,
                const wxString& name = wxStatusBarNameStr);
    ~MyStatusBar() override;

    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, long style = wxSTB_DEFAULT_STYLE,
                const wxString& name = wxStatusBarNameStr);

    virtual void SetLedState(int state);
    wxStateLed* GetLed() const { return m_led; }

private:
    void OnSize(wxSizeEvent& event);

    wxStateLed* m_led = nullptr;

    wxDECLARE_DYNAMIC_CLASS(MyStatusBar);
    wxDECLARE_EVENT_TABLE();
};
