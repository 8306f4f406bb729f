// What the benchmarks ask of the main window, for code that does not include
// the frame's header (only the application and the tests do). `->` reaches the
// window itself (FindWindow, ProcessWindowEvent, ...), `.` the program's calls.
#pragma once

#include <wx/frame.h>

class FwUpdateDialog;
class LiveChart;
class LiveLogging;
class LogReplay;
class VTX_GUIFrame;
class VantrelBase;

struct UpdatePacing;

class MainWindowHandle {
public:
    explicit MainWindowHandle(VTX_GUIFrame* frame) : frame(frame) {}

    wxFrame* operator->() const { return Window(); }
    wxFrame* Window() const;
    VTX_GUIFrame* Frame() const { return frame; }

    void AutoConnect() const;
    bool IsPolling() const;
    VantrelBase* Device() const;
    FwUpdateDialog* UpdateDialog() const;
    void SetUpdatePacing(const UpdatePacing& pacing) const;
    LiveChart* Chart() const;
    LiveLogging& Logging() const;
    LogReplay& Replay() const;
    // Builds the notebook page that holds the control `name`, if not built yet.
    void BuildPageHolding(const char* name) const;

private:
    VTX_GUIFrame* frame;
};
