#include "gui/editors/EditorUndo.h"

#include <utility>

#include <wx/frame.h>
#include <wx/grid.h>
#include <wx/menuitem.h>
#include <wx/spinctrl.h>
#include <wx/xrc/xmlres.h>

#include "editor/EditSteps.h"
#include "gui/editors/EditorsView.h"
#include "session/EditorSession.h"

namespace {

// Generous for a rider's session; a step holds two states of about 800 bytes.
constexpr int kMaxSteps = 500;

wxWindow* WindowOf(const wxEvent& event)
{
    return dynamic_cast<wxWindow*>(event.GetEventObject());
}

}  // namespace

// One step: the editors' state before and after it, and for the commands that
// replace the content, the origin before and after.
class EditorUndo::Step : public wxCommand {
public:
    Step(EditorUndo& owner, const wxString& name, const EditorState& before, const EditorState& after,
         std::optional<EditorOrigin> originBefore = std::nullopt,
         std::optional<EditorOrigin> originAfter = std::nullopt)
        : wxCommand(true, name),
          owner(owner),
          before(before),
          after(after),
          originBefore(std::move(originBefore)),
          originAfter(std::move(originAfter))
    {
    }

    // The first Do is the edit itself, already in the editors; later ones redo.
    bool Do() override
    {
        if (done)
            owner.Apply(after, originAfter);
        done = true;
        return true;
    }
    bool Undo() override
    {
        owner.Apply(before, originBefore);
        return true;
    }
    // A further change of the spin this step is about.
    void Extend(const EditorState& state) { after = state; }

private:
    EditorUndo& owner;
    EditorState before;
    EditorState after;
    std::optional<EditorOrigin> originBefore;
    std::optional<EditorOrigin> originAfter;
    bool done = false;
};

EditorUndo::EditorUndo(wxFrame& frame, EditorsView& editors, EditorSession& session)
    : frame(frame), editors(editors), session(session), processor(kMaxSteps)
{
}

EditorUndo::~EditorUndo() = default;

void EditorUndo::BindToFrame(wxMenuItem* undo, wxMenuItem* redo)
{
    undoItem = undo;
    redoItem = redo;
    frame.Bind(wxEVT_MENU, &EditorUndo::OnUndo, this, wxID_UNDO);
    frame.Bind(wxEVT_MENU, &EditorUndo::OnRedo, this, wxID_REDO);
    // Bound after the editors' handlers, so these run first: they only note
    // the edit and let the event go on to the editors.
    frame.Bind(wxEVT_SPINCTRL, &EditorUndo::OnControlChanged, this);
    frame.Bind(wxEVT_CHOICE, &EditorUndo::OnControlChanged, this);
    frame.Bind(wxEVT_RADIOBOX, &EditorUndo::OnControlChanged, this);
    frame.Bind(wxEVT_GRID_CELL_CHANGED, &EditorUndo::OnGridCellChanged, this);
    frame.Bind(wxEVT_MENU, &EditorUndo::OnMapCommand, this, XRCID("idPaste"));
    frame.Bind(wxEVT_MENU, &EditorUndo::OnMapCommand, this, XRCID("idFillDown"));
    frame.Bind(wxEVT_BUTTON, &EditorUndo::OnButton, this);
    WatchSpins();
}

void EditorUndo::WatchSpins()
{
    // Focus events stay with their window.
    for (const ControlBinding& binding : kEditorBindings)
        if (binding.kind == ControlKind::Spin || binding.kind == ControlKind::SteppedSpin)
            if (wxWindow* spin = editors.SpinOf(binding.control); spin && watchedSpins.insert(spin).second)
                spin->Bind(wxEVT_KILL_FOCUS, &EditorUndo::OnSpinFocusLost, this);
}

void EditorUndo::Start(const EditorSource& source)
{
    pendingStep.clear();
    CloseSpinStep();
    committed = editors.CurrentState();
    session.Start(source);
    ShowState();
}

EditorUndo::Replacement EditorUndo::BeginReplacement()
{
    CommitPendingEdit();
    return {editors.CurrentState(), session.Origin()};
}

void EditorUndo::EndReplacement(const Replacement& replacement, const wxString& step,
                                const std::optional<EditorSource>& source)
{
    CloseSpinStep();
    const EditorState after = editors.CurrentState();
    const EditorOrigin originAfter =
        source ? EditorOrigin{*source, CurrentRecord(after)} : replacement.originBefore;
    committed = after;
    session.SetOrigin(originAfter);
    if (after != replacement.before || originAfter != replacement.originBefore)
        processor.Submit(
            new Step(*this, step, replacement.before, after, replacement.originBefore, originAfter));
    ShowState();
}

void EditorUndo::SetSource(const EditorSource& source)
{
    CommitPendingEdit();
    CloseSpinStep();
    session.SetSource(source);
    ShowState();
}

bool EditorUndo::HasUnsavedEdits()
{
    CommitPendingEdit();
    return session.Edited();
}

void EditorUndo::NoteEdit(const wxString& step, wxWindow* spin)
{
    // An earlier edit whose handlers have all run is a step of its own.
    CommitPendingEdit();
    pendingStep = step;
    pendingSpin = spin;
    if (commitQueued)
        return;
    commitQueued = true;
    CallAfter([this] {
        commitQueued = false;
        CommitPendingEdit();
    });
}

void EditorUndo::TakeEdit(const wxString& step)
{
    CommitPendingEdit();
    CloseSpinStep();
    pendingStep = step;
    pendingSpin = nullptr;
    CommitPendingEdit();
}

void EditorUndo::CommitPendingEdit()
{
    if (pendingStep.empty())
        return;
    const wxString step = std::exchange(pendingStep, wxString());
    wxWindow* spin = std::exchange(pendingSpin, nullptr);
    const EditorState current = editors.CurrentState();
    if (current == committed)
        return;
    if (spin && spin == openSpin && openStep && processor.GetCurrentCommand() == openStep) {
        openStep->Extend(current);
    } else {
        openStep = new Step(*this, step, committed, current);
        processor.Submit(openStep);
        openSpin = spin;
    }
    committed = current;
    ShowState();
}

void EditorUndo::CloseSpinStep()
{
    openSpin = nullptr;
    openStep = nullptr;
}

void EditorUndo::OnControlChanged(wxCommandEvent& event)
{
    event.Skip();
    wxWindow* window = WindowOf(event);
    const std::optional<EditorControl> control = editors.ControlOf(window);
    if (!control)
        return;
    const ControlKind kind = BindingOf(*control).kind;
    const bool spin = kind == ControlKind::Spin || kind == ControlKind::SteppedSpin;
    NoteEdit(wxGetTranslation(EditStepName(*control)), spin ? window : nullptr);
}

void EditorUndo::OnSpinFocusLost(wxFocusEvent& event)
{
    event.Skip();
    if (WindowOf(event) != openSpin && WindowOf(event) != pendingSpin)
        return;
    CommitPendingEdit();
    CloseSpinStep();
}

void EditorUndo::OnGridCellChanged(wxGridEvent& event)
{
    event.Skip();
    if (const std::optional<MapGridKind> kind = editors.GridKindOf(WindowOf(event)))
        NoteEdit(wxGetTranslation(MapCellStepName(*kind)));
}

void EditorUndo::OnMapCommand(wxCommandEvent& event)
{
    event.Skip();
    NoteEdit(event.GetId() == XRCID("idPaste") ? _("Paste") : _("Fill down"));
}

void EditorUndo::OnButton(wxCommandEvent& event)
{
    event.Skip();
    const wxWindow* button = WindowOf(event);
    const std::string step = button ? TakeValueStepName(button->GetName().utf8_string()) : std::string();
    if (!step.empty())
        NoteEdit(wxGetTranslation(wxString::FromUTF8(step)));
}

void EditorUndo::OnUndo(wxCommandEvent& /*event*/)
{
    // A cell being typed in becomes its step first, so that Undo takes the
    // typing back.
    editors.EndCellEditing();
    CommitPendingEdit();
    if (processor.CanUndo())
        processor.Undo();
    ShowState();
}

void EditorUndo::OnRedo(wxCommandEvent& /*event*/)
{
    editors.EndCellEditing();
    CommitPendingEdit();
    if (processor.CanRedo())
        processor.Redo();
    ShowState();
}

void EditorUndo::Apply(const EditorState& state, const std::optional<EditorOrigin>& newOrigin)
{
    pendingStep.clear();
    CloseSpinStep();
    editors.ShowState(state);
    // As after any edit: polarity enabling, gear panels, the invalid marks.
    editors.RefreshControls();
    editors.Validate();
    committed = editors.CurrentState();
    if (newOrigin)
        session.SetOrigin(*newOrigin);
}

namespace {

// Where the editors' content came from and whether it is edited, in the
// user's language ("Unit VT000001 (edited)" in English).
wxString StateText(const EditorOrigin& origin, const DeviceConfiguration& current)
{
    const EditorSource& source = origin.source;
    const wxString label = wxString::FromUTF8(source.label);
    const wxString from = source.kind == SourceKind::Unit   ? wxString::Format(_("Unit %s"), label)
                          : source.kind == SourceKind::File ? label
                                                            : wxString::Format(_("Defaults of %s"), label);
    return IsEdited(origin, current) ? wxString::Format(_("%s (edited)"), from) : from;
}

}  // namespace

void EditorUndo::ShowState()
{
    if (undoItem) {
        undoItem->SetItemLabel(processor.GetUndoMenuLabel());
        undoItem->Enable(processor.CanUndo());
    }
    if (redoItem) {
        redoItem->SetItemLabel(processor.GetRedoMenuLabel());
        redoItem->Enable(processor.CanRedo());
    }
    const wxString state = StateText(session.Origin(), CurrentRecord(committed));
    frame.SetStatusText(notice.empty() ? state : notice + " - " + state, 0);
}

const EditorOrigin& EditorUndo::Origin() const
{
    return session.Origin();
}

void EditorUndo::SetNotice(const wxString& line)
{
    notice = line;
    ShowState();
}

DeviceConfiguration EditorUndo::CurrentRecord(const EditorState& state) const
{
    try {
        return CollectState(state);
    } catch (const std::exception&) {
        return {};  // no record: counts as edited
    }
}
