// What the benchmarks that drive the main window share: running the event
// loop for a while, declining the firmware offer for a unit, and starting the
// application as the program does, with a throw-away settings store, on the
// virtual bus. Header only; the including target defines VANTREL_GUI_DIR.
#pragma once

#include <stdlib.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"
#include "usb/UsbConnection.h"

namespace bench {

// Runs the GUI event loop for `milliseconds`.
inline void RunLoop(int milliseconds)
{
    wxGUIEventLoop loop;
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { loop.Exit(); });
    end.StartOnce(milliseconds);
    loop.Run();
}

// Declined once for this unit, so that connecting does not ask.
inline void DeclineOffer(const std::string& serial)
{
    wxConfig settings("Vantrel", "NorvaneLabs", wxEmptyString, wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
    settings.Write(wxString(serial) + "RefusedFirmwareVersion", 0x0108L);
    settings.Flush();
}

// Starts the application with its main window on a virtual bus, lets the
// launch step run, calls `run` and shuts down again. Returns what `run`
// returns, or 2 and 3 when the bus or the application could not start.
inline int WithMainWindow(const char* program, const std::function<int(VirtualBus&, VTX_GUIFrame*)>& run)
{
    if (!VirtualBus::InMockEnvironment()) {
        std::fprintf(stderr, "Run me under umockdev-wrapper (and a display, e.g. xvfb-run -a).\n");
        return 2;
    }
    char home[] = "/tmp/vantrel-bench-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        return 2;
    }
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);

    int result = 0;
    {
        VirtualBus bus;  // before libusb is initialised
        UsbConnection usb;
        auto* app = new VTX_GUIApp;
        wxApp::SetInstance(app);
        int wxArgc = 1;
        char* wxArgv[] = {const_cast<char*>(program), nullptr};
        if (!wxEntryStart(wxArgc, wxArgv)) {
            return 2;
        }
        delete wxLog::SetActiveTarget(new wxLogStderr);
        app->SetResourceFolders({VANTREL_GUI_DIR});
        if (!app->CallOnInit()) {
            std::fprintf(stderr, "the application did not start (resource.xrs in %s?)\n", VANTREL_GUI_DIR);
            return 3;
        }
        VTX_GUIFrame* frame = app->GetMainWindow();
        RunLoop(300);  // the launch step runs once the loop starts
        result = run(bus, frame);
        RunLoop(200);
        delete frame;
        app->OnExit();
        wxEntryCleanup();
    }
    std::system((std::string("rm -rf '") + home + "'").c_str());
    return result;
}

}  // namespace bench
