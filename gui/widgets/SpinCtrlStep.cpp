#include "gui/widgets/SpinCtrlStep.h"

#include <algorithm>

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

int32_t SpinCtrlStep::SnapInRange(int32_t value) const
{
    int32_t snapped = RoundToStep(value, m_step);
    if (snapped > GetMax() && snapped - m_step >= GetMin())
        snapped -= m_step;
    if (snapped < GetMin() && snapped + m_step <= GetMax())
        snapped += m_step;
    return std::clamp<int32_t>(snapped, GetMin(), GetMax());
}

void SpinCtrlStep::OnSpin(wxSpinEvent& event)
{
    if (event.GetEventObject() != this) {
        event.Skip();
        return;
    }
    const int32_t value = event.GetPosition();
    if (value == m_lastValue) {
        return;
    }
    if (m_programmaticChange) {
        m_programmaticChange = false;
        m_lastValue = value;
        event.Skip();
        return;
    }
    int32_t stepped = 0;
    if (value - m_lastValue == GetIncrement() || m_lastValue - value == GetIncrement()) {
        // An arrow click, an arrow key or the mouse wheel: one whole step.
        const int32_t target = value > m_lastValue ? m_lastValue + m_step : m_lastValue - m_step;
        stepped = RoundToStep(target, m_step);
    } else {
        // Typed or pasted: the value stays, on a multiple of the step.
        stepped = SnapInRange(value);
    }
    event.SetPosition(stepped);
    SetValue(stepped);
    event.Skip();
}
