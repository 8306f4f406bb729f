#include "gui/widgets/SpinCtrlStep.h"

#include "editor/SpinSteps.h"

wxIMPLEMENT_DYNAMIC_CLASS(SpinCtrlStep, wxSpinCtrl);

wxBEGIN_EVENT_TABLE(SpinCtrlStep, wxSpinCtrl) EVT_SPINCTRL(wxID_ANY, SpinCtrlStep::OnSpin) wxEND_EVENT_TABLE()

    SpinCtrlStep::SpinCtrlStep(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                               const wxSize& size, long style, int min, int max, int initial,
                               const wxString& name)
    : wxSpinCtrl(parent, id, value, pos, size, style, min, max, initial, name),
      m_step(10),
      m_lastValue(initial)
{
}

void SpinCtrlStep::SetStep(int step)
{
    m_step = step < 1 ? 1 : step;
}

void SpinCtrlStep::SetValue(int value)
{
    m_lastValue = value;
    wxSpinCtrl::SetValue(value);
}

void SpinCtrlStep::SnapToStep()
{
    const int32_t snapped = RoundToStep(GetValue(), m_step);
    const bool changed = snapped != m_lastValue;
    if (changed) {
        m_programmaticChange = true;
    }
    wxSpinCtrl::SetValue(snapped);
    if (changed) {
        wxSpinEvent event(wxEVT_SPINCTRL, GetId());
        event.SetEventObject(this);
        event.SetPosition(snapped);
        ProcessWindowEvent(event);
    }
}

void SpinCtrlStep::OnSpin(wxSpinEvent& event)
{
    if (event.GetEventObject() != this) {
        event.Skip();
        return;
    }
    // The rule's own arithmetic (editor/SpinSteps.h); nothing to do when the
    // value is the settled one.
    const std::optional<int32_t> stepped =
        SteppedValue(m_lastValue, event.GetPosition(), GetIncrement(), m_step, GetMin(), GetMax());
    if (!stepped) {
        return;
    }
    if (m_programmaticChange) {
        m_programmaticChange = false;
        m_lastValue = event.GetPosition();
        event.Skip();
        return;
    }
    event.SetPosition(*stepped);
    SetValue(*stepped);
    event.Skip();
}
