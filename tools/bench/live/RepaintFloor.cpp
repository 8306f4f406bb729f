#include "RepaintFloor.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>

#include "AppRun.h"

namespace {

enum class Turn { TimerOnly, TextField, OwnDrawing };

}  // namespace

int RepaintFloor(int seconds, wxWindow* hide)
{
    if (hide != nullptr)
        hide->Hide();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "repaint floor", wxDefaultPosition, wxSize(800, 600));
    auto* panel = new wxPanel(frame);
    auto* field = new wxTextCtrl(panel, wxID_ANY, "0", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    auto* drawn = new wxPanel(panel, wxID_ANY, wxDefaultPosition, wxSize(80, 24));
    auto* button = new wxButton(panel, wxID_ANY, "Focus");  // keeps the field's cursor from blinking
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    for (wxWindow* window :
         {static_cast<wxWindow*>(field), static_cast<wxWindow*>(drawn), static_cast<wxWindow*>(button)})
        sizer->Add(window, 0, wxALL, 4);
    panel->SetSizer(sizer);
    frame->Show();
    button->SetFocus();

    int ticks = 0;
    Turn turn = Turn::TimerOnly;
    drawn->Bind(wxEVT_PAINT, [&](wxPaintEvent&) {
        wxPaintDC dc(drawn);
        dc.DrawText(wxString::Format("%d", ticks), 2, 2);
    });
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        ++ticks;
        if (turn == Turn::TextField)
            field->ChangeValue(wxString::Format("%d", 1000 + ticks * 37 % 9000));
        else if (turn == Turn::OwnDrawing)
            drawn->Refresh();
    });
    timer.Start(100);
    RunMainLoopFor(500);

    // Percent of a core in the main thread over one turn.
    const auto measure = [&](Turn measured) {
        turn = measured;
        RunMainLoopFor(300);
        const auto start = std::chrono::steady_clock::now();
        const double cpu = ThreadCpuSeconds();
        RunMainLoopFor(seconds * 1000);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return 100.0 * (ThreadCpuSeconds() - cpu) / wall;
    };
    const double timerOnly = measure(Turn::TimerOnly);
    const double textField = measure(Turn::TextField);
    const double ownDrawing = measure(Turn::OwnDrawing);
    timer.Stop();
    frame->Destroy();
    RunMainLoopFor(100);

    std::printf("a bare frame, %d s each; main thread, %% of a core:\n", seconds);
    std::printf("  100 ms timer alone                                  %5.2f %%\n", timerOnly);
    std::printf(
        "  one read-only text field, a new number each tick    %5.2f %%  (%.2f %% beyond the timer)\n",
        textField, textField - timerOnly);
    std::printf(
        "  one 80x24 window of its own drawing, redrawn        %5.2f %%  (%.2f %% beyond the timer)\n",
        ownDrawing, ownDrawing - timerOnly);
    std::printf(
        "the live page's goal: at most 1 %% beyond idle, the unit's poll and every control included\n");
    return 0;
}
