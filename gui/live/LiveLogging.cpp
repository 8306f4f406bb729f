#include "gui/live/LiveLogging.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/xrc/xmlres.h>

#include <ctime>

#include "gui/VantrelBase.h"
#include "gui/widgets/ErrorBox.h"
#include "livelog/LogFormat.h"
#include "session/Connection.h"

namespace {

constexpr int kLoggingField = 2;  // after the text and the LED

}  // namespace

LiveLogging::LiveLogging(wxFrame& frame, Connection& connection, std::function<bool()> unitPolled)
    : frame(frame), connection(connection), unitPolled(std::move(unitPolled)), tick(&frame)
{
}

LiveLogging::~LiveLogging()
{
    tick.Stop();
}

void LiveLogging::AddControls(wxWindow* page, wxSizer* sizer)
{
    button = new wxButton(page, XRCID("ID_BUTTON_LOGGING"), _("Start logging"));
    sizer->Add(button, 0, wxEXPAND);
}

void LiveLogging::BindToFrame()
{
    frame.Bind(wxEVT_MENU, &LiveLogging::OnStart, this, XRCID("ID_MENU_START_LOGGING"));
    frame.Bind(wxEVT_MENU, &LiveLogging::OnStop, this, XRCID("ID_MENU_STOP_LOGGING"));
    frame.Bind(wxEVT_BUTTON, &LiveLogging::OnButton, this, XRCID("ID_BUTTON_LOGGING"));
    frame.Bind(wxEVT_TIMER, &LiveLogging::OnTick, this, tick.GetId());
    frame.Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(!Active() && unitPolled()); },
        XRCID("ID_MENU_START_LOGGING"));
    frame.Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(Active()); },
        XRCID("ID_MENU_STOP_LOGGING"));
    frame.Bind(
        wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(Active() || unitPolled()); },
        XRCID("ID_BUTTON_LOGGING"));
}

wxString LiveLogging::Folder() const
{
    return folder_.empty() ? wxStandardPaths::Get().GetDocumentsDir() : folder_;
}

wxString LiveLogging::Path() const
{
    return writer ? wxString::FromUTF8(writer->Path()) : wxString();
}

size_t LiveLogging::Rows() const
{
    return writer ? writer->Rows() : 0;
}

bool LiveLogging::Start()
{
    if (Active() || !unitPolled()) {
        return false;
    }
    const wxFileName path(
        Folder(), wxString::FromUTF8(DefaultLogFileName(connection->GetSerialNumber(), std::time(nullptr))));
    std::string error;
    writer = LogWriter::Create(path.GetFullPath().utf8_string(), error);
    if (!writer) {
        ShowError(
            wxString::Format(_("Logging cannot start: the log \"%s\" cannot be written in \"%s\" (%s)."),
                             path.GetFullName(), path.GetPath(), wxString::FromUTF8(error)));
        return false;
    }
    started = std::chrono::steady_clock::now();
    tick.Start(1000);
    ShowState();
    return true;
}

void LiveLogging::Record(const LiveValues& values, const LiveRaw& raw)
{
    if (!writer) {
        return;
    }
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    LogRow row;
    row.ms = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count());
    row.wallClock =
        WallClockText(static_cast<std::time_t>(sinceEpoch / 1000), static_cast<int>(sinceEpoch % 1000));
    row.values = values;
    row.raw = raw;
    writer->Append(row);
}

void LiveLogging::Stop(std::string_view closingLine)
{
    if (!writer) {
        return;
    }
    tick.Stop();
    writer->Finish(closingLine);
    writer.reset();
    ShowState();
}

void LiveLogging::OnStart(wxCommandEvent& /*event*/)
{
    Start();
}

void LiveLogging::OnStop(wxCommandEvent& /*event*/)
{
    Stop(kLogStoppedLine);
}

void LiveLogging::OnButton(wxCommandEvent& /*event*/)
{
    if (Active()) {
        Stop(kLogStoppedLine);
    } else {
        Start();
    }
}

void LiveLogging::OnTick(wxTimerEvent& /*event*/)
{
    // The poll stopped without a failed read of ours (a replaced connection,
    // a replay): the unit is gone for this log.
    if (Active() && !unitPolled()) {
        Stop(kLogDisconnectedLine);
        return;
    }
    ShowState();
}

void LiveLogging::ShowState()
{
    // Once a second while logging: a button given its label again lays the
    // window out again.
    if (const wxString label = Active() ? _("Stop logging") : _("Start logging");
        button != nullptr && button->GetLabel() != label) {
        button->SetLabel(label);
    }
    wxStatusBar* bar = frame.GetStatusBar();
    if (bar == nullptr) {
        return;
    }
    if (bar->GetFieldsCount() <= kLoggingField) {
        const int widths[] = {-1, 32, 130};
        bar->SetFieldsCount(kLoggingField + 1, widths);
    }
    wxString text;
    if (Active()) {
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
                .count();
        text = wxString::Format(_("Logging %lld:%02lld"), static_cast<long long>(seconds / 60),
                                static_cast<long long>(seconds % 60));
        if (!writer->Healthy()) {
            text = _("Logging failed");
        }
    }
    if (bar->GetStatusText(kLoggingField) != text) {
        bar->SetStatusText(text, kLoggingField);
    }
}
