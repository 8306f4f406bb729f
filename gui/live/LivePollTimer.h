// The timers of the live monitor: the 10 Hz poll of the unit's live report
// (each tick reads it once through the session's LivePoll) and the warm-up
// keep-alive's. A replay holds the view: a tick then stops the poll.
#pragma once

#include <functional>

#include <wx/event.h>
#include <wx/timer.h>

class DeviceErrorCount;
class LivePoll;

class LivePollTimer : public wxEvtHandler {
public:
    struct Wiring {
        LivePoll& poll;
        std::function<bool()> replaying;    // a replay holds the live view
        std::function<void()> unitGivenUp;  // a failure of the poll gave the unit up
        std::function<void()> keepWarmUp;   // the warm-up timer's tick
    };
    explicit LivePollTimer(Wiring wiring);
    ~LivePollTimer() override;
    LivePollTimer(const LivePollTimer&) = delete;
    LivePollTimer& operator=(const LivePollTimer&) = delete;

    void Start() { pollTimer.Start(); }
    void Stop() { pollTimer.Stop(); }
    bool IsRunning() const { return pollTimer.IsRunning(); }
    DeviceErrorCount& Errors();

    const wxTimer& PollTimer() const { return pollTimer; }
    wxTimer& WarmUpTimer() { return warmUpTimer; }

private:
    void OnPollTick(wxTimerEvent& event);
    void OnWarmUpTick(wxTimerEvent& event);

    Wiring wiring;
    wxTimer pollTimer;
    wxTimer warmUpTimer;
};
