#include "gui/commands/FwUpdateDialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <cstdio>

FwUpdateDialog::FwUpdateDialog(const wxString& title, const wxString& message, int range, wxWindow* parent)
{
    if (wxXmlResource::Get()->LoadDialog(this, parent, "FwUpdateDialog")) {
        logText = XRCCTRL(*this, "ID_TEXTCTRL1", wxTextCtrl);
        gauge = XRCCTRL(*this, "ID_GAUGE1", wxGauge);
        closeButton = XRCCTRL(*this, "ID_BTN_CLOSE", wxButton);
    }
    if (logText == nullptr || gauge == nullptr || closeButton == nullptr) {
        // The update must be able to report whatever happened to the layout.
        BuildWithoutLayout(parent);
    }

    // Room for the update's dozen lines whatever size the layout asks for.
    const wxSize least = FromDIP(wxSize(460, 320));
    if (GetSize().x < least.x || GetSize().y < least.y) {
        SetSize(wxSize(std::max(GetSize().x, least.x), std::max(GetSize().y, least.y)));
        CentreOnParent();
    }

    closeButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    // Escape acts like the Close button, so it does nothing while Close is
    // disabled, i.e. while the update runs.
    SetEscapeId(closeButton->GetId());

    closeButton->Disable();
    SetTitle(title);
    logText->Clear();
    gauge->SetRange(std::max(range, 1));
    FwUpdateDialog::SetProgress(0, message);

    previousTarget = wxLog::SetActiveTarget(this);
    isLogTarget = true;
    wxLog::SetVerbose(true);
}

FwUpdateDialog::~FwUpdateDialog()
{
    ReleaseLogTarget();
    delete disabler;
    disabler = nullptr;
}

void FwUpdateDialog::BuildWithoutLayout(wxWindow* parent)
{
    if (GetHandle() == nullptr) {
        Create(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxRESIZE_BORDER);
    } else {
        DestroyChildren();
    }
    logText = new wxTextCtrl(this, XRCID("ID_TEXTCTRL1"), wxEmptyString, wxDefaultPosition, wxSize(420, 220),
                             wxTE_MULTILINE | wxTE_READONLY);
    gauge = new wxGauge(this, XRCID("ID_GAUGE1"), 100);
    closeButton = new wxButton(this, XRCID("ID_BTN_CLOSE"), "&Close");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(logText, 1, wxALL | wxEXPAND, 8);
    sizer->Add(gauge, 0, wxLEFT | wxRIGHT | wxEXPAND, 8);
    sizer->Add(closeButton, 0, wxALL | wxALIGN_RIGHT, 8);
    SetSizerAndFit(sizer);
}

bool FwUpdateDialog::Show(bool show)
{
    if (show) {
        if (disabler == nullptr) {
            disabler = new wxWindowDisabler(this);
        }
    } else {
        delete disabler;
        disabler = nullptr;
    }
    return wxDialog::Show(show);
}

bool FwUpdateDialog::Destroy()
{
    ReleaseLogTarget();
    delete disabler;
    disabler = nullptr;
    return wxDialog::Destroy();
}

void FwUpdateDialog::ReleaseLogTarget()
{
    if (!isLogTarget) {
        return;
    }
    isLogTarget = false;
    if (wxLog::GetActiveTarget() == this) {
        wxLog::SetActiveTarget(previousTarget);
    }
}

void FwUpdateDialog::SetGauge(int value)
{
    // The waits can count past the range; that is a full gauge.
    gauge->SetValue(std::clamp(value, 0, gauge->GetRange()));
}

void FwUpdateDialog::SetProgress(int value, const wxString& text)
{
    SetGauge(value);
    if (!text.empty()) {
        logText->AppendText(text);
    }
    closeButton->Enable(value >= gauge->GetRange());
}

void FwUpdateDialog::AppendLine(const wxString& msg)
{
    wxString line = msg;
    line.Replace("\r\n", " ");
    line.Replace("\n", " ");
    line.Replace("\r", " ");
    logText->AppendText(line + "\n");
}

void FwUpdateDialog::ShowStatus(const wxString& msg, const wxLogRecordInfo& info)
{
    wxFrame* frame = nullptr;
    wxUIntPtr pointer = 0;
    if (info.GetNumValue(wxLOG_KEY_FRAME, &pointer)) {
        frame = static_cast<wxFrame*>(wxUIntToPtr(pointer));
    }
    if (frame == nullptr && wxTheApp != nullptr) {
        // dynamic_cast: wxDynamicCast static_casts first, which is undefined for a
        // top window that is not a frame.
        frame = dynamic_cast<wxFrame*>(wxTheApp->GetTopWindow());
    }
    if (frame != nullptr && frame->GetStatusBar() != nullptr) {
        frame->SetStatusText(msg);
    }
}

void FwUpdateDialog::DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info)
{
    switch (level) {
        case wxLOG_FatalError:
            return;
        case wxLOG_Error:
        case wxLOG_Warning:
        case wxLOG_Message:
            AppendLine(msg);
            return;
        case wxLOG_Status:
            ShowStatus(msg, info);
            return;
        case wxLOG_Info:
            if (wxLog::GetVerbose()) {
                AppendLine(msg);
            }
            return;
        case wxLOG_Debug:
        case wxLOG_Trace:
            wxLog::DoLogRecord(level, msg, info);
            return;
        case wxLOG_Progress: {
            int value = 0;
            if (std::sscanf(msg.utf8_str(), "%d", &value) == 1) {
                SetGauge(value);
            }
            return;
        }
        default:
            return;
    }
}
