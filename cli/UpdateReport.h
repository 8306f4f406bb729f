// The firmware update's log records (gui/VantrelBaseUpdate.cpp reports every
// step and its progress through wxLog) on the console: each step as a line,
// the progress as a bar when the messages go to a terminal, and, once, that
// an interrupt is held until the unit is safe.
#pragma once

#include <string>

#include <wx/log.h>

#include "cli/Console.h"

class UpdateReport : public wxLog {
public:
    // Becomes the log target, with verbose records on, until destroyed.
    explicit UpdateReport(const Console& console);
    ~UpdateReport() override;
    UpdateReport(const UpdateReport&) = delete;
    UpdateReport& operator=(const UpdateReport&) = delete;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info) override;

private:
    void Line(const std::string& text);
    void DrawBar();
    void ClearBar();

    const Console& console;
    wxLog* previous = nullptr;
    bool previousVerbose = false;
    int progress = -1;  // -1 until the first progress record
    bool heldSaid = false;
};
