// The start-up shared by the GUI test suites, the screenshots and the
// benchmarks: the application built as the program builds it (or a bare
// application for the widget suite) in a throw-away home folder, on the
// virtual USB bus, with log records going to stderr; and the event-loop
// runners they all use. No test framework here.
#pragma once

#include <functional>

#include <wx/debug.h>
#include <wx/log.h>

class UserSettings;
class VirtualBus;
class VTX_GUIFrame;

enum class AppKind {
    Program,  // VTX_GUIApp with its OnInit and main window
    Bare,     // a bare application with the image and archive handlers the program registers
};

struct AppRunOptions {
    AppKind kind = AppKind::Program;
    // The build's resource folder (resource.xrs, images.zip): the program's
    // resources and, unless keepFolder, the working folder.
    const char* resourceFolder = "";
    bool keepFolder = false;
    const char* homePrefix = "vantrel-home";  // the home folder is /tmp/<prefix>-XXXXXX
    bool dataHome = false;                    // XDG_DATA_HOME in that home too
    // Outside umockdev: no start at all (true) or no bus (false). The bare
    // application has no bus.
    bool requireBus = true;
    wxLogLevel logLevel = wxLOG_Max;
    wxAssertHandler_t assertHandler = nullptr;
    std::function<void(UserSettings&)> settings;  // written before OnInit
    // The event loop (RunMainLoopFor) runs this long after OnInit (the
    // launch step runs once it starts) and again before the teardown.
    int launchMilliseconds = 0;
};

// The benchmarks' start: the caller's working folder kept (paths given on
// the command line stay as typed), the launch step run.
AppRunOptions BenchmarkOptions(const char* resourceFolder);

// Starts the application, calls `run`, shuts down and removes the home
// folder. Returns what `run` returns; 2 when the bus, the folder or the
// toolkit could not start, 3 when OnInit failed, 4 when the home folder
// stayed (and `run` returned 0).
int RunApp(const char* argv0, const AppRunOptions& options, const std::function<int()>& run);

// While `run` runs: the virtual bus (null without umockdev and for the bare
// application) and the application's main window now.
VirtualBus* AppBus();
VTX_GUIFrame* MainWindow();

// Handles queued events and pending idle work, a few rounds, without waiting.
void Pump();
// Handles events, timers and idle work every few milliseconds for
// `milliseconds`, or until `done` holds (false after `milliseconds`).
void RunEventsFor(int milliseconds);
bool RunEventsUntil(const std::function<bool()>& done, int milliseconds = 3000);
// Runs the event loop itself for `milliseconds`, waiting for events as the
// program does: what the benchmarks measure CPU time and pauses in.
void RunMainLoopFor(int milliseconds);
// The CPU time the calling thread has used, in seconds.
double ThreadCpuSeconds();

// Brings the notebook page of the main window named `page` (e.g. "ID_PANEL7") to the
// front, with the keyboard focus on the notebook, as a click on its tab does.
void ShowPage(VTX_GUIFrame* frame, const char* page);
