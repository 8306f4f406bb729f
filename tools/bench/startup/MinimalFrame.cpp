// The yardstick: the smallest wxWidgets program with one frame, built with the
// same compiler and flags. Reports like the probe at its first idle event.
#include <wx/app.h>
#include <wx/frame.h>

#include "StartupMeasure.h"

namespace {

class MinimalApp : public wxApp {
public:
    bool OnInit() override
    {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Minimal");
        frame->Bind(wxEVT_IDLE, [this, frame](wxIdleEvent& event) {
            event.Skip();
            if (reported)
                return;
            reported = true;
            ReportStartup();
            frame->Close(true);
            ExitMainLoop();
        });
        frame->Show();
        return true;
    }

private:
    bool reported = false;
};

}  // namespace

wxIMPLEMENT_APP(MinimalApp);
