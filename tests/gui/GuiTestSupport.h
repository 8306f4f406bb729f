// Small helpers shared by the GUI suites.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/testing.h>
#include <wx/window.h>
#include <wx/xrc/xmlres.h>

class VirtualBus;
class VTX_GUIFrame;
class wxSpinCtrl;

void SetTestBus(VirtualBus* bus);
// The virtual bus, or null when the suite does not run under umockdev.
VirtualBus* TestBus();

// Frames made while one exists build their notebook pages when first shown,
// as the program does and the suites' frames do by default; with `false`,
// all at once.
struct PagesOnDemand {
    explicit PagesOnDemand(bool onDemand = true);
    ~PagesOnDemand();
    PagesOnDemand(const PagesOnDemand&) = delete;
    PagesOnDemand& operator=(const PagesOnDemand&) = delete;
    bool before;
};

// The application's main window.
VTX_GUIFrame* MainWindow();

// Pulls every unit from the bus and lets the window fall back to the
// simulated connection.
void UnplugAllUnits(VirtualBus& bus, VTX_GUIFrame* frame);

// A control of a window by its layout name (null when absent). In the main
// window, the page holding it is built first, as a command that needs it does.
wxWindow* FindControl(wxWindow* window, const char* name);
template <class T>
T* Ctrl(wxWindow* window, const char* name)
{
    return dynamic_cast<T*>(FindControl(window, name));
}
wxMenuItem* MenuItem(wxFrame* frame, const char* name);

// Runs a menu command of the frame the way a click does.
void RunMenuCommand(wxFrame* frame, const char* name);
// Sends a command event of a control (button, choice, radio box) to it.
void SendCommand(wxWindow* control, wxEventType type, int selection = 0);

// A change of a spin's value as the user's click makes it.
void SpinTo(wxSpinCtrl* spin, int value);

// Answers a file dialog with a path. The native chooser takes the path in
// only after a few turns of the event loop.
class ExpectFile : public wxExpectModalBase<wxFileDialog, ExpectFile> {
public:
    explicit ExpectFile(const wxString& path) : path(path) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override
    {
        dialog->SetPath(path);
        for (int turn = 0; turn < 200 && dialog->GetPath() != path; ++turn) {
            wxTheApp->Yield(true);
            wxMilliSleep(5);
        }
        EXPECT_EQ(dialog->GetPath(), path);
        return wxID_OK;
    }

private:
    wxString path;
};

// Handles queued events and pending idle work.
void Pump();

// A fresh empty folder below /tmp; removed by the caller.
std::string MakeTempFolder();
