// Small helpers shared by the GUI suites, and their one fixture: the main
// window on the virtual bus.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/window.h>
#include <wx/xrc/xmlres.h>

#include "AppRun.h"
#include "config/DeviceConfiguration.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "session/UserSettings.h"

class wxSpinCtrl;

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

// The text on the clipboard (not the primary selection); empty when none.
wxString ClipboardText();

// A fresh empty folder below /tmp; removed by the caller.
std::string MakeTempFolder();

// Answers every modal dialog shown while it exists and remembers what was
// shown. Answers are taken from the queue, then `fallback`.
class ModalAnswerer : public wxModalDialogHook {
public:
    struct Shown {
        wxString caption;
        wxString message;
    };

    explicit ModalAnswerer(int fallback = wxID_NO) : fallback(fallback) { Register(); }
    ~ModalAnswerer() override { Unregister(); }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    std::vector<Shown> shown;
    std::deque<int> answers;
    int fallback;

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};

// The window runs on the simulated unit.
bool IsSimulated(VTX_GUIFrame* frame);

// The window marks red, and lists in order, the controls that the editor
// model's validation names for the record the window holds; `invalid`, when
// given: whether the case has something to mark.
void ExpectMarksOfTheModel(VTX_GUIFrame* frame, const char* what, std::optional<bool> invalid);

// The main window on the virtual bus. Every test starts on an empty bus with
// the simulated connection and writing confirmations on (and, if asked, the
// editors showing its defaults), and ends on an empty bus with no update
// window open. The
// firmware offer is declined for the suites' own serial numbers (VT0000xx,
// CV000001), so that only the tests that mean to meet the offer do.
class OnVirtualBus : public ::testing::Test {
protected:
    explicit OnVirtualBus(bool showDefaults = false) : showDefaults(showDefaults) {}
    void SetUp() override;
    void TearDown() override;
    // What a suite adds to the start of each test, on the bus.
    virtual void SetUpOnBus() {}
    // Pulls every unit from the bus.
    void UnplugAll();
    // Lets the window look for units as at launch.
    void Launch();
    // Puts a unit of that generation, with its factory configuration, on the bus.
    VirtualUnit& PlugUnit(const std::string& serial, uint16_t generation = 108);

    VirtualBus* bus = nullptr;
    VTX_GUIFrame* frame = nullptr;
    const bool showDefaults;
    DeviceConfiguration defaults{};  // the simulated unit's, validated in the editors
    wxLogLevel previousLevel = wxLOG_Max;
};
