// The editors' content as the commands put it in and take it out: a record
// replaces it as one undo step (Read, Open, New, the read at connect, Restore,
// Take), with the history keeping the edits it replaces; the record they hold,
// or the message of one they cannot make.
#pragma once

#include <functional>
#include <optional>

#include <wx/string.h>

#include "config/DeviceConfiguration.h"
#include "editor/EditorOrigin.h"

class EditorSession;
class EditorUndo;
class EditorsView;

class EditorContent {
public:
    // `refreshWindow` brings the window's enabling up to date after a
    // replacement (the editors' columns and panels follow the unit).
    EditorContent(EditorSession& session, EditorsView& view, EditorUndo& undo,
                  std::function<void()> refreshWindow);

    // Shows `record` as one step named `step`; with a source the content now
    // comes from it, without the origin stays. False, after the message, for
    // a record the editors cannot show (nothing changed then).
    bool Replace(const DeviceConfiguration& record, const wxString& step,
                 const std::optional<EditorSource>& source);
    // The record the editors hold; nothing, after the message, when the
    // pulses choice holds no value.
    std::optional<DeviceConfiguration> CollectOrReport();
    // The content went to `source` unchanged (Write, Save as).
    void SetSource(const EditorSource& source);
    // Edits never written or saved (nor matching what the editors last got).
    bool HasUnsavedEdits();

    EditorSession& Session() { return session; }
    EditorsView& View() { return view; }
    EditorUndo& Undo() { return undo; }

private:
    EditorSession& session;
    EditorsView& view;
    EditorUndo& undo;
    std::function<void()> refreshWindow;
};
