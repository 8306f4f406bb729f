// The main window's side of the live monitor: the 10 Hz poll of the unit's
// live report and the warm-up keep-alive's timer. What the monitor shows and
// its device actions are the live view's (gui/live/LiveView).
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/commands/DeviceCommands.h"
#include "gui/editors/EditorsView.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LiveView.h"
#include "gui/live/LogReplay.h"

void VTX_GUIFrame::OnLiveTimer(wxTimerEvent& /*event*/)
{
    if (replay->Active()) {
        liveTimer.Stop();  // a replay never shares the view with the unit
        return;
    }
    // A good report reaches the listeners the constructor gave the poll.
    if (!poll.Read()) {
        commands->GiveUpTheUnit();
        logging->Stop(kLogDisconnectedLine);
    }
}

void VTX_GUIFrame::OnWarmUpTimer(wxTimerEvent& /*event*/)
{
    liveView->KeepWarmUp();
}

void VTX_GUIFrame::ShowLiveValues(const LiveValues& values)
{
    liveView->ShowValues(values);
    if (editors)
        editors->ShowOperatingPoint(values);
}

void VTX_GUIFrame::ShowLiveRaw(const LiveRaw& raw)
{
    liveView->ShowRaw(raw);
}
