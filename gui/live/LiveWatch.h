// Watching the engine on the live page: the live chart with its span and
// hold, data logging and log replay. The sample history, logging and replay
// exist from the start (the poll's samples are kept and the menu commands
// work without the page); the chart and the controls come with the page,
// which may be built later, and the chart then draws what was kept.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <wx/string.h>

#include "device/LiveData.h"
#include "editor/LiveReadout.h"
#include "livelog/SampleHistory.h"

class Connection;
class LiveChart;
class LiveLogging;
class LivePollTimer;
class LogReplay;
class ReplayTimeline;
class VantrelBase;
class wxFrame;
class wxToggleButton;
class wxWindow;

class LiveWatch {
public:
    struct Wiring {
        wxFrame& frame;  // binds the commands, holds the logging's status field
        Connection& connection;
        LivePollTimer& poll;
        // A replayed row into the live view and the maps (zeroed: blank).
        std::function<void(const LiveValues&, const LiveRaw&)> show;
        // A line beside the editors' source in the status bar.
        std::function<void(const wxString&)> notice;
        // The throttle limits the chart scales the throttle trace with.
        std::function<ThrottleCalibration()> throttleLimits;
        // A log was opened for replay.
        std::function<void(const ReplayTimeline&)> replayOpened = {};
    };
    explicit LiveWatch(Wiring wiring);
    ~LiveWatch();
    LiveWatch(const LiveWatch&) = delete;
    LiveWatch& operator=(const LiveWatch&) = delete;

    // The chart and the controls onto the live page, once it is built; again
    // later does nothing.
    void AddToPage(wxWindow* livePage);
    // A good read of the poll: to the log and the sample history (and the
    // chart, when it exists).
    void Record(const LiveValues& values, const LiveRaw& raw);

    LiveChart* Chart() const { return chart; }  // null without the page
    const SampleHistory& History() const { return history; }
    LiveLogging& Logging() const { return *logging; }
    LogReplay& Replay() const { return *replay; }

private:
    Wiring wiring;
    SampleHistory history;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    LiveChart* chart = nullptr;  // on the live page, owned by it
    wxToggleButton* holdButton = nullptr;
    std::unique_ptr<LiveLogging> logging;
    std::unique_ptr<LogReplay> replay;
    const VantrelBase* replayConnection = nullptr;  // polled when the replay began
};
