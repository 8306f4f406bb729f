// Undo and redo of the editors, on the toolkit's command processor: one step
// per user edit (a map cell, a paste, a fill down, a spin, a choice, the
// gear-detection radio box, a take-value button) and one per command that
// replaces the editors' content (Read, New, Open, the read at connect). A step
// keeps the editors' state before and after it; undoing puts a state back into
// the editors and never talks to the unit. It also puts back the session's
// origin and shows it with the edited state in the status bar.
#pragma once

#include <optional>
#include <set>

#include <wx/cmdproc.h>
#include <wx/event.h>
#include <wx/string.h>

#include "editor/EditorModel.h"
#include "editor/EditorOrigin.h"

class EditorSession;
class EditorsView;
class wxFocusEvent;
class wxFrame;
class wxGridEvent;
class wxMenuItem;

class EditorUndo : public wxEvtHandler {
public:
    // Binds on `frame` and shows the edited state in its status bar.
    EditorUndo(wxFrame& frame, EditorsView& editors, EditorSession& session);
    ~EditorUndo() override;
    EditorUndo(const EditorUndo&) = delete;
    EditorUndo& operator=(const EditorUndo&) = delete;

    // Binds Undo, Redo and the edit events on the frame: after the editors'
    // own handlers (and the calibration panels), so that a step holds what
    // those handlers changed too.
    void BindToFrame(wxMenuItem* undoItem, wxMenuItem* redoItem);
    // The spins of pages built since: their typing ends when they lose the
    // keyboard.
    void WatchSpins();

    // The editors' content now comes from `source`, with nothing to undo.
    void Start(const EditorSource& source);

    // A command replacing the editors' content: what they held before it.
    struct Replacement {
        EditorState before;
        EditorOrigin originBefore;
    };
    Replacement BeginReplacement();
    // After the editors show the new content: one step named `step`. With a
    // source, the content now comes from it; without, the origin stays.
    void EndReplacement(const Replacement& replacement, const wxString& step,
                        const std::optional<EditorSource>& source);

    // The editors' content went to (or came from) `source` without a change
    // of content: Write and Save as.
    void SetSource(const EditorSource& source);

    const EditorOrigin& Origin() const;
    // A line shown in the status bar before the source and edited state
    // until it is replaced (empty: none), e.g. that the history is not kept.
    void SetNotice(const wxString& line);
    // The editors hold another record than the one they came from or went to.
    bool HasUnsavedEdits();

    // A command changed the editors just now (a map tool): one step named
    // `step`, when anything changed.
    void TakeEdit(const wxString& step);

    // Takes the edit the events announced into a step now, rather than once
    // the event queue has been handled.
    void CommitPendingEdit();

    wxCommandProcessor& Processor() { return processor; }

private:
    class Step;

    // An event of an edit: the step is taken once the editors' handlers of
    // the event have run. The changes of one spin while it keeps the
    // keyboard (typing, arrow keys) make one step: `spin` names it.
    void NoteEdit(const wxString& step, wxWindow* spin = nullptr);
    // The open step of a spin is closed: its next change is a step of its own.
    void CloseSpinStep();
    // A spin, choice or the gear-detection radio box changed.
    void OnControlChanged(wxCommandEvent& event);
    void OnSpinFocusLost(wxFocusEvent& event);
    void OnGridCellChanged(wxGridEvent& event);
    void OnMapCommand(wxCommandEvent& event);  // paste, fill down
    void OnButton(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);

    // Puts a state (and an origin, when given) into the editors.
    void Apply(const EditorState& state, const std::optional<EditorOrigin>& newOrigin);
    // Menu item texts and enabling, the edited state in the status bar.
    void ShowState();
    DeviceConfiguration CurrentRecord(const EditorState& state) const;

    wxFrame& frame;
    EditorsView& editors;
    EditorSession& session;
    wxCommandProcessor processor;
    wxMenuItem* undoItem = nullptr;
    wxMenuItem* redoItem = nullptr;
    // What the last step left in the editors.
    EditorState committed;
    wxString notice;
    std::set<const wxWindow*> watchedSpins;
    wxString pendingStep;
    wxWindow* pendingSpin = nullptr;
    bool commitQueued = false;
    // The spin whose changes still go into the newest step, and that step.
    wxWindow* openSpin = nullptr;
    Step* openStep = nullptr;
};
