// Data logging of the main window: "Start logging" and "Stop logging" (Device
// menu and a button on the live monitor page) write every live report the
// poll reads to a CSV log (livelog/) in the user's documents folder, named
// with the unit's serial and the start time. The status bar's field 2 shows
// that logging runs and for how long. A disconnect closes the log with a line
// saying so.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string_view>

#include <wx/string.h>
#include <wx/timer.h>

#include "device/LiveData.h"
#include "livelog/LogWriter.h"

class wxButton;
class wxCommandEvent;
class wxFrame;
class wxSizer;
class wxWindow;
class Connection;
class VantrelBase;

class LiveLogging {
public:
    // `unitPolled` tells whether an application-mode unit is being polled.
    LiveLogging(wxFrame& frame, Connection& connection, std::function<bool()> unitPolled);
    ~LiveLogging();
    LiveLogging(const LiveLogging&) = delete;
    LiveLogging& operator=(const LiveLogging&) = delete;

    // The logging button, added to `sizer` of the live page `page`.
    void AddControls(wxWindow* page, wxSizer* sizer);
    void BindToFrame();

    // After each good read of the poll.
    void Record(const LiveValues& values, const LiveRaw& raw);
    // Ends the log with `closingLine`; nothing when none runs.
    void Stop(std::string_view closingLine);

    bool Active() const { return writer != nullptr; }
    // The log being written (empty when none) and its rows so far.
    wxString Path() const;
    size_t Rows() const;
    // The folder logs go to: the user's documents folder unless set.
    wxString Folder() const;
    void SetFolder(const wxString& folder) { folder_ = folder; }

    // Starts a log (the menu command); false when it cannot (the user has
    // been told why).
    bool Start();
    // Field 2 of the frame's status bar (made when missing) and the button
    // label follow the logging state.
    void ShowState();

private:
    void OnStart(wxCommandEvent& event);
    void OnStop(wxCommandEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnTick(wxTimerEvent& event);

    wxFrame& frame;
    Connection& connection;
    std::function<bool()> unitPolled;
    std::unique_ptr<LogWriter> writer;
    std::chrono::steady_clock::time_point started;
    wxString folder_;
    wxTimer tick;  // once a second while logging: the status field
    wxButton* button = nullptr;
};
