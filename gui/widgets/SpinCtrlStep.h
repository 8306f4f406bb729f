// A spin control that moves in whole steps and snaps to multiples of its step:
// each arrow click (a change by the control's own increment) moves one step
// from the value it last settled on; a typed or pasted value is kept, on the
// nearest multiple of the step inside the control's range.
#pragma once

#include <wx/spinctrl.h>

#include <cstdint>

class SpinCtrlStep : public wxSpinCtrl {
public:
    SpinCtrlStep() = default;
    SpinCtrlStep(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& value = wxEmptyString,
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                 long style = wxSP_ARROW_KEYS, int min = 0, int max = 100, int initial = 0,
                 const wxString& name = "wxSpinCtrl");

    // The step is at least 1.
    virtual void SetStep(int step);
    virtual int GetStep() const { return m_step; }
    // Rounds the current value to the nearest multiple of the step and reports the
    // change with a spin event.
    virtual void SnapToStep();

    // Records the value as the one the control settled on, then shows it. (The
    // toolkit's SetValue(int) is not virtual: call this through a SpinCtrlStep.)
    virtual void SetValue(int value);
    void SetValue(const wxString& text) override { wxSpinCtrl::SetValue(text); }

private:
    void OnSpin(wxSpinEvent& event);

    int32_t m_step = 1;
    int32_t m_lastValue = 0;
    bool m_programmaticChange = false;

    wxDECLARE_DYNAMIC_CLASS(SpinCtrlStep);
    wxDECLARE_EVENT_TABLE();
};
