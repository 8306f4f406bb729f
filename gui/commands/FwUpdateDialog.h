// The modeless window of a firmware update. While it exists it is the active
// log target: the update procedure and the update command only log, and the
// window shows each record by its level (progress records move the gauge).
// While it is shown every other window of the program is disabled.
#pragma once

#include <wx/dialog.h>
#include <wx/log.h>

class wxButton;
class wxGauge;
class wxTextCtrl;
class wxWindowDisabler;

class FwUpdateDialog : public wxDialog, public wxLog {
public:
    // Loads the layout "FwUpdateDialog", clears the text, sets the gauge's
    // range, shows `message` at progress 0, becomes the log target and turns
    // verbose logging on for the rest of the run.
    FwUpdateDialog(const wxString& title, const wxString& message, int range, wxWindow* parent);
    // Gives the log target back and enables the other windows again.
    ~FwUpdateDialog() override;

    // Showing disables every other top-level window; hiding enables them.
    bool Show(bool show = true) override;
    // Gives the log target back and enables the other windows at once, so
    // that nothing is logged into a window that is about to go.
    bool Destroy() override;

    // Moves the gauge (values beyond the range show a full gauge), appends
    // `text` unchanged when it is not empty, and enables Close exactly when
    // `value` has reached the range.
    virtual void SetProgress(int value, const wxString& text);

    // For the tests.
    wxGauge* GetGauge() const { return gauge; }
    wxTextCtrl* GetLogText() const { return logText; }
    wxButton* GetCloseButton() const { return closeButton; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override;

private:
    void BuildWithoutLayout(wxWindow* parent);
    void SetGauge(int value);
    void AppendLine(const wxString& msg);
    void ShowStatus(const wxString& msg, const wxLogRecordInfo& info);
    void ReleaseLogTarget();

    wxButton* closeButton = nullptr;
    wxGauge* gauge = nullptr;
    wxTextCtrl* logText = nullptr;
    wxWindowDisabler* disabler = nullptr;
    wxLog* previousTarget = nullptr;
    bool isLogTarget = false;
};
