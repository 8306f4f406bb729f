// Helpers of the live monitor and firmware suites: an answering machine for
// modal dialogs (no test can hang on a box nobody clicks), waiting with the
// event loop running so that the window's timers fire, and a fixture that
// starts every test on an empty bus with the simulated connection.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "GuiTestSupport.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/commands/FwUpdateDialog.h"

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
    int Enter(wxDialog* dialog) override
    {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        shown.push_back({dialog->GetTitle(), box != nullptr ? box->GetMessage() : wxString()});
        if (answers.empty()) {
            return fallback;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Exit(wxDialog*) override {}
};

// Lets the event loop run (timers included) for `milliseconds`.
inline void RunEventsFor(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Runs the event loop until `done` holds; false after `milliseconds`.
inline bool RunEventsUntil(const std::function<bool()>& done, int milliseconds = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline wxConfig UserSettings()
{
    return wxConfig("Vantrel", "NorvaneLabs", wxEmptyString, wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
}

inline bool IsSimulated(VTX_GUIFrame* frame)
{
    return frame->GetDevice() != nullptr && frame->GetDevice()->GetFeature(5) > 0;
}

// Every test starts on an empty bus with the simulated connection and ends
// there too, with no dialog left open.
class OnVirtualBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The update reports progress and info records; the suite's own
        // start-up may have filtered them out.
        previousLevel = wxLog::GetLogLevel();
        wxLog::SetLogLevel(wxLOG_Progress);
        bus = TestBus();
        if (bus == nullptr) {
            GTEST_SKIP() << "needs the virtual USB bus (run under umockdev-wrapper)";
        }
        frame = MainWindow();
        UnplugAll();
        frame->AutoConnect();
        Pump();
    }
    void TearDown() override
    {
        wxLog::SetLogLevel(previousLevel);
        if (bus == nullptr) {
            return;
        }
        ModalAnswerer quiet;
        if (frame->GetFwUpdateDialog() != nullptr) {
            frame->GetFwUpdateDialog()->Close();
        }
        UnplugAll();
        frame->AutoConnect();
        Pump();
    }
    void UnplugAll()
    {
        for (size_t i = 0; i < bus->UnitCount(); ++i) {
            if (bus->IsAttached(bus->UnitAt(i))) {
                bus->Unplug(bus->UnitAt(i));
            }
        }
    }

    VirtualBus* bus = nullptr;
    VTX_GUIFrame* frame = nullptr;
    wxLogLevel previousLevel = wxLOG_Max;
};
