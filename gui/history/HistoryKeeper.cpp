#include "gui/history/HistoryKeeper.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include "device/Features.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/editors/EditorUndo.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "history/HistoryStore.h"
#include "session/Connection.h"
#include "session/FailureLog.h"

namespace {

std::optional<DeviceConfiguration> Collect(VTX_GUIFrame& frame)
{
    try {
        return frame.CollectConfiguration();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

HistoryKeeper::HistoryKeeper(VTX_GUIFrame& frame, Connection& connection)
    : frame(frame), connection(connection)
{
    UseRoot(DefaultHistoryRoot());
}

void HistoryKeeper::UseRoot(const std::filesystem::path& root)
{
    store.reset();
    store = std::make_unique<HistoryStore>(root);
    // Reported on the GUI thread: one line in the status bar and the log.
    store->SetFailureHandler([&frame = frame](const std::string& line) {
        frame.CallAfter([&frame, line] {
            // The line stays beside the editors' source until keeping works again.
            frame.GetEditorUndo().SetNotice(wxString::FromUTF8(line));
            if (line.empty())
                return;
            wxLogTrace(FAILURE_TRACE_MASK, "%s", wxString::FromUTF8(line));
            AppendFailureLine(FailureLogPath(), line);
        });
    });
}

HistoryKeeper::~HistoryKeeper() = default;

void HistoryKeeper::BindToFrame()
{
    frame.Bind(wxEVT_MENU, &HistoryKeeper::OnHistory, this, XRCID("ID_MENU_HISTORY"));
    frame.Bind(wxEVT_MENU, &HistoryKeeper::OnCompare, this, XRCID("ID_MENU_COMPARE"));
}

std::string HistoryKeeper::UnitSerial() const
{
    VantrelBase* device = connection.Get();
    if (!device || !device->IsOpen() || device->GetFeature(FEATURE_SIMULATED) != 0)
        return {};
    return device->GetSerialNumber();
}

void HistoryKeeper::Keep(const DeviceConfiguration& record, const std::string& event,
                         const wxString& sourceText)
{
    if (!enabled)
        return;
    HistoryRecord entry;
    entry.config = record;
    entry.unit = UnitSerial();
    entry.event = event;
    entry.source = sourceText.utf8_string();
    entry.time = std::chrono::system_clock::now();
    store->Keep(entry);
}

bool HistoryKeeper::EditorsEdited()
{
    return frame.HasUnsavedEdits();
}

wxString HistoryKeeper::SourceName() const
{
    return wxString::FromUTF8(SourceText(frame.GetEditorUndo().Origin().source));
}

void HistoryKeeper::FromUnit(const DeviceConfiguration& record, const char* event)
{
    const wxString name = "Unit " + wxString::FromUTF8(UnitSerial());
    Keep(record, event, name);
}

void HistoryKeeper::ToUnit(const DeviceConfiguration& record)
{
    const wxString name = "Unit " + wxString::FromUTF8(UnitSerial());
    Keep(record, "write", name);
}

void HistoryKeeper::FromFile(const DeviceConfiguration& record, const wxString& path)
{
    const wxString name = wxFileName(path).GetFullName();
    Keep(record, "open", name);
}

void HistoryKeeper::ToFile(const DeviceConfiguration& record, const wxString& path)
{
    const wxString name = wxFileName(path).GetFullName();
    Keep(record, "save", name);
}

void HistoryKeeper::BeforeReplace()
{
    if (!EditorsEdited())
        return;
    if (const std::optional<DeviceConfiguration> editors = Collect(frame))
        Keep(*editors, "unsaved", "Edited " + SourceName());
}

void HistoryKeeper::AtQuit()
{
    if (!EditorsEdited())
        return;
    if (const std::optional<DeviceConfiguration> editors = Collect(frame))
        Keep(*editors, "quit", "Edited " + SourceName());
    store->Flush();
}

void HistoryKeeper::OnHistory(wxCommandEvent& /*event*/)
{
    store->Flush();
    HistoryWindow window(frame, *this);
    window.ShowModal();
}

void HistoryKeeper::OnCompare(wxCommandEvent& /*event*/)
{
    store->Flush();
    CompareWindow window(frame, *this, connection);
    window.ShowModal();
}
