#include "gui/live/LivePollTimer.h"

#include "session/LivePoll.h"

LivePollTimer::LivePollTimer(Wiring wiring) : wiring(std::move(wiring)), pollTimer(this), warmUpTimer(this)
{
    // Later starts without an interval use the one given here.
    pollTimer.Start(100);
    pollTimer.Stop();
    warmUpTimer.Start(100);
    warmUpTimer.Stop();
    Bind(wxEVT_TIMER, &LivePollTimer::OnPollTick, this, pollTimer.GetId());
    Bind(wxEVT_TIMER, &LivePollTimer::OnWarmUpTick, this, warmUpTimer.GetId());
}

LivePollTimer::~LivePollTimer()
{
    pollTimer.Stop();
    warmUpTimer.Stop();
}

DeviceErrorCount& LivePollTimer::Errors()
{
    return wiring.poll.Errors();
}

void LivePollTimer::OnPollTick(wxTimerEvent& /*event*/)
{
    if (wiring.replaying()) {
        pollTimer.Stop();  // a replay never shares the view with the unit
        return;
    }
    // A good report reaches the poll's listeners.
    if (!wiring.poll.Read())
        wiring.unitGivenUp();
}

void LivePollTimer::OnWarmUpTick(wxTimerEvent& /*event*/)
{
    wiring.keepWarmUp();
}
