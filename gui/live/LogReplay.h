// Replay of a live log: "Open log..." (File menu) loads a log written by the
// program; the live monitor, the chart and the maps' operating point show it
// through the same operations as the poll, with play and pause, the speed
// (x1, x2, x5, x10), a position slider and the whole log in the chart. Replay
// never talks to a unit: while one is connected its live view stops, and it
// starts again when the replay is closed.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <wx/string.h>
#include <wx/timer.h>

#include "device/LiveData.h"
#include "livelog/ReplayTimeline.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxCommandEvent;
class wxSizer;
class wxSlider;
class wxStaticText;
class wxWindow;
class LiveChart;

class LogReplay {
public:
    struct LiveControl {
        std::function<bool()> stop;            // stops the poll; true when it was running
        std::function<void()> resume;          // polls again
        std::function<bool()> sameConnection;  // the connection of the stop is still there
        // A row into the live view and the maps (zeroed records blank them).
        std::function<void(const LiveValues&, const LiveRaw&)> show;
        // A line beside the editors' source in the status bar (empty: none).
        std::function<void(const wxString&)> notice;
        // A log was opened for replay: its rows (the maps count its visits).
        std::function<void(const ReplayTimeline&)> opened;
    };
    // Binds on `window` and opens its dialogs over it.
    LogReplay(wxWindow& window, LiveControl live);
    ~LogReplay();
    LogReplay(const LogReplay&) = delete;
    LogReplay& operator=(const LogReplay&) = delete;

    // The chart of the live page, once the page exists; a replay under way
    // goes into it.
    void UseChart(LiveChart* liveChart);
    void AddControls(wxWindow* page, wxSizer* sizer);
    void BindToFrame();

    // Loads and shows the log at `path`; false when it cannot be replayed
    // (the user has been told why; nothing changed).
    bool Open(const wxString& path);
    // Ends the replay: the view is blanked and a stopped poll resumes.
    void Close();
    bool Active() const { return timeline != nullptr; }
    const ReplayTimeline* Timeline() const { return timeline.get(); }

    // As the controls do it.
    void Play();
    void Pause();
    void SetSpeed(int factor);
    void SeekTo(uint64_t ms);
    void ShowWhole(bool whole);
    // The replay's position into the live view, the chart and the controls.
    void ShowCurrent();

private:
    void OnOpenLog(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    void EnableControls();
    void FitSlider();

    wxWindow& window;
    LiveChart* chart = nullptr;
    LiveControl live;
    std::unique_ptr<ReplayTimeline> timeline;
    bool resumeLive = false;
    wxTimer timer;
    std::chrono::steady_clock::time_point lastTick;

    wxButton* playButton = nullptr;
    wxChoice* speedChoice = nullptr;
    wxSlider* slider = nullptr;
    wxStaticText* positionText = nullptr;
    wxCheckBox* wholeCheck = nullptr;
    wxButton* closeButton = nullptr;
};
