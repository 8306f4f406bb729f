#include "gui/history/HistoryCommands.h"

#include <wx/log.h>
#include <wx/menu.h>
#include <wx/window.h>
#include <wx/xrc/xmlres.h>

#include "gui/editors/EditorContent.h"
#include "gui/editors/EditorUndo.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "history/HistoryStore.h"
#include "session/EditorSession.h"
#include "session/FailureLog.h"

HistoryCommands::HistoryCommands(wxWindow& window, EditorContent& content, NotebookPages& pages,
                                 Connection& connection)
    : window(window), content(content), pages(pages), connection(connection)
{
    // Reported on the GUI thread: one line in the status bar and the log.
    content.Session().OnHistoryFailure([&window, &content](const std::string& line) {
        window.CallAfter([&content, line] {
            // The line stays beside the editors' source until keeping works again.
            content.Undo().SetNotice(wxString::FromUTF8(line));
            if (line.empty())
                return;
            wxLogTrace(FAILURE_TRACE_MASK, "%s", wxString::FromUTF8(line));
            AppendFailureLine(FailureLogPath(), line);
        });
    });
}

void HistoryCommands::BindToFrame()
{
    window.Bind(wxEVT_MENU, &HistoryCommands::OnHistory, this, XRCID("ID_MENU_HISTORY"));
    window.Bind(wxEVT_MENU, &HistoryCommands::OnCompare, this, XRCID("ID_MENU_COMPARE"));
}

void HistoryCommands::OnHistory(wxCommandEvent& /*event*/)
{
    content.Session().History().Flush();
    HistoryWindow historyWindow(window, content);
    historyWindow.ShowModal();
}

void HistoryCommands::OnCompare(wxCommandEvent& /*event*/)
{
    content.Session().History().Flush();
    CompareWindow compareWindow(window, content, pages, connection);
    compareWindow.ShowModal();
}
