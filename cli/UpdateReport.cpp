#include "cli/UpdateReport.h"

#include <algorithm>
#include <ostream>

#include "cli/Interrupts.h"

namespace {

constexpr int kBarWidth = 40;
// The update window's gauge runs to 100; the update's counter may pass it.
constexpr int kBarRange = 100;

}  // namespace

UpdateReport::UpdateReport(const Console& console) : console(console)
{
    previous = wxLog::SetActiveTarget(this);
    previousVerbose = wxLog::GetVerbose();
    wxLog::SetVerbose(true);
}

UpdateReport::~UpdateReport()
{
    if (progress >= 0 && console.errIsTerminal) {
        progress = kBarRange;
        DrawBar();
        console.err << '\n' << std::flush;
    }
    wxLog::SetVerbose(previousVerbose);
    wxLog::SetActiveTarget(previous);
}

void UpdateReport::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& /*info*/)
{
    if (Interrupts::Received() && !heldSaid) {
        heldSaid = true;
        Line("Interrupt held: the update goes on until the unit is safe.");
    }
    const std::string text = message.utf8_string();
    switch (level) {
        case wxLOG_Progress:
            if (long value = 0; message.ToLong(&value))
                progress = std::clamp(static_cast<int>(value), 0, kBarRange);
            if (console.errIsTerminal && progress >= 0)
                DrawBar();
            break;
        case wxLOG_FatalError:
        case wxLOG_Error:
            Line("error: " + text);
            break;
        case wxLOG_Warning:
            Line("warning: " + text);
            break;
        case wxLOG_Message:
        case wxLOG_Info:
            Line(text);
            break;
        default:
            break;  // debug and trace records are not the user's
    }
}

void UpdateReport::Line(const std::string& text)
{
    ClearBar();
    console.err << text << '\n';
    if (progress >= 0 && console.errIsTerminal)
        DrawBar();
    console.err << std::flush;
}

void UpdateReport::DrawBar()
{
    const int filled = progress * kBarWidth / kBarRange;
    console.err << "\r[" << std::string(static_cast<size_t>(filled), '#')
                << std::string(static_cast<size_t>(kBarWidth - filled), ' ') << "] "
                << progress * 100 / kBarRange << "%" << std::flush;
}

void UpdateReport::ClearBar()
{
    if (progress >= 0 && console.errIsTerminal)
        console.err << '\r' << std::string(kBarWidth + 8, ' ') << '\r';
}
