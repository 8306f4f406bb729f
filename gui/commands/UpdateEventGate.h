// While the firmware update runs, its waits keep the event loop going; this
// gate keeps what would touch the unit or the connection from running in
// between: the main window's menu and tool commands, the ticks of its two
// timers (live poll, warm-up keep-alive) and requests to close the main
// window. Repaints, the update window and every other event pass.
#pragma once

#include <wx/eventfilter.h>

class wxTimer;
class wxWindow;

class UpdateEventGate : public wxEventFilter {
public:
    // Installs itself at once; removed again when it goes.
    UpdateEventGate(wxWindow& mainWindow, const wxTimer& liveTimer, const wxTimer& warmUpTimer);
    ~UpdateEventGate() override;
    UpdateEventGate(const UpdateEventGate&) = delete;
    UpdateEventGate& operator=(const UpdateEventGate&) = delete;

    int FilterEvent(wxEvent& event) override;

    // Events turned away so far.
    int TurnedAway() const { return turnedAway; }

private:
    wxWindow& mainWindow;
    const wxTimer& liveTimer;
    const wxTimer& warmUpTimer;
    int turnedAway = 0;
};
