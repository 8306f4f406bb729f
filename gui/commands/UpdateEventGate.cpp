#include "gui/commands/UpdateEventGate.h"

#include <wx/event.h>
#include <wx/timer.h>
#include <wx/window.h>

UpdateEventGate::UpdateEventGate(wxWindow& mainWindow, const wxTimer& liveTimer, const wxTimer& warmUpTimer)
    : mainWindow(mainWindow), liveTimer(liveTimer), warmUpTimer(warmUpTimer)
{
    wxEvtHandler::AddFilter(this);
}

UpdateEventGate::~UpdateEventGate()
{
    wxEvtHandler::RemoveFilter(this);
}

int UpdateEventGate::FilterEvent(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_TIMER) {
        const wxTimer* timer = &static_cast<wxTimerEvent&>(event).GetTimer();
        if (timer != &liveTimer && timer != &warmUpTimer) {
            return Event_Skip;
        }
    } else if (type == wxEVT_CLOSE_WINDOW) {
        if (event.GetEventObject() != &mainWindow) {
            return Event_Skip;  // the update window holds its own request back
        }
        auto& close = static_cast<wxCloseEvent&>(event);
        if (close.CanVeto()) {
            close.Veto();
        }
    } else if (type != wxEVT_MENU) {
        return Event_Skip;
    }
    ++turnedAway;
    return Event_Processed;
}
