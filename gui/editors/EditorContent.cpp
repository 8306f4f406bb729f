#include "gui/editors/EditorContent.h"

#include <exception>

#include "gui/editors/EditorUndo.h"
#include "gui/editors/EditorsView.h"
#include "gui/widgets/ErrorBox.h"
#include "session/EditorSession.h"

EditorContent::EditorContent(EditorSession& session, EditorsView& view, EditorUndo& undo,
                             std::function<void()> refreshWindow)
    : session(session), view(view), undo(undo), refreshWindow(std::move(refreshWindow))
{
}

bool EditorContent::Replace(const DeviceConfiguration& record, const wxString& step,
                            const std::optional<EditorSource>& source)
{
    const EditorUndo::Replacement replacing = undo.BeginReplacement();
    try {
        // Edits never written or saved go to the history first.
        session.Replace(record);
        view.ShowShownRecord(record);
    } catch (const std::exception& error) {
        ShowError(error.what(), _("Error"));
        refreshWindow();
        return false;
    }
    refreshWindow();
    view.Validate();
    undo.EndReplacement(replacing, step, source);
    return true;
}

std::optional<DeviceConfiguration> EditorContent::CollectOrReport()
{
    try {
        return view.CollectConfiguration();
    } catch (const std::exception& error) {
        ShowError(error.what(), _("Error"));
        return std::nullopt;
    }
}

void EditorContent::SetSource(const EditorSource& source)
{
    undo.SetSource(source);
}

bool EditorContent::HasUnsavedEdits()
{
    return undo.HasUnsavedEdits();
}
