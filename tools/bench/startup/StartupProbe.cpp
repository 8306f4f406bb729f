// The program as main() starts it, plus one probe: at the main window's first
// idle event it prints how long the process has run and its peak memory, then
// closes the window. Started by vantrel-bench-startup, not by hand.
#include <cstdio>
#include <memory>

#include <wx/app.h>
#include <wx/window.h>

#include "StartupMeasure.h"
#include "gui/VTX_GUIApp.h"
#include "usb/UsbConnection.h"

namespace {

class ProbeApp : public VTX_GUIApp {
public:
    bool OnInit() override
    {
        // Where the time goes: toolkit start, then the program's own OnInit.
        std::printf("toolkit_ready_ms=%.1f\n", ProcessAgeMs());
        if (!VTX_GUIApp::OnInit())
            return false;
        std::printf("window_built_ms=%.1f\n", ProcessAgeMs());
        GetTopWindow()->Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
            event.Skip();
            if (reported)
                return;
            reported = true;
            ReportStartup();
            GetTopWindow()->Close(true);
            ExitMainLoop();
        });
        return true;
    }

private:
    bool reported = false;
};

}  // namespace

int main(int argc, char** argv)
{
    auto usb = std::make_unique<UsbConnection>();
    wxApp::SetInstance(new ProbeApp);
    return wxEntry(argc, argv);
}
