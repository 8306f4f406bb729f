// Undo and redo of the editors against the real frame: every kind of edit and
// every command replacing the editors' content is one step named in the Edit
// menu, the status bar's source and edited state follow, and the unit sees
// the requests it always saw, none from undoing.
#include <gtest/gtest.h>

#include <functional>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/editors/EditorUndo.h"

namespace {

class PickFirstUnit : public wxExpectModalBase<ConnectionDialog, PickFirstUnit> {
protected:
    int OnInvoked(ConnectionDialog* dialog) const override
    {
        dialog->GetListCtrl()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        return wxID_OK;
    }
};

// Changes as the user makes them: the value, then the control's event.
template <class Control>
void Select(Control* control, wxEventType type, int selection)
{
    control->SetSelection(selection);
    SendCommand(control, type, selection);
    Pump();
}

void TypeCell(wxGrid* grid, int row, int col, const wxString& text)
{
    grid->SetCellValue(row, col, text);
    wxGridEvent changed(grid->GetId(), wxEVT_GRID_CELL_CHANGED, grid, row, col);
    grid->ProcessWindowEvent(changed);
    Pump();
}

// Control requests as "IN 0x01" or "OUT 0x00"; the log starts anew.
using Requests = std::vector<std::string>;
Requests TakeControlRequests(VirtualUnit& unit)
{
    Requests requests;
    for (const RequestRecord& record : unit.RequestLog())
        if (record.kind == RequestRecord::Kind::Control)
            requests.push_back(wxString::Format("%s 0x%02X", record.setup.bmRequestType & 0x80 ? "IN" : "OUT",
                                                record.setup.bRequest)
                                   .ToStdString());
    unit.ClearRequestLog();
    return requests;
}

class Undo : public OnVirtualBus {
protected:
    void SetUpOnBus() override
    {
        MenuItem(frame, "idConfirmWriting")->Check(false);
        // From New on the simulated unit, with nothing to undo.
        Run("idNew");
        frame->GetEditorUndo().Processor().ClearCommands();
        frame->GetEditorUndo().Start(DefaultsSource(*frame->GetDevice()));
    }
    void Run(const char* command)
    {
        RunMenuCommand(frame, command);
        Pump();
    }
    wxString UndoText() const { return MenuItem(frame, "wxID_UNDO")->GetItemLabelText(); }
    wxString Status() const { return frame->GetStatusBar()->GetStatusText(0); }
    wxString Value(const char* spin) const
    {
        return wxString::Format("%d", Ctrl<wxSpinCtrl>(frame, spin)->GetValue());
    }
    int DeltaT() const { return Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2")->GetValue(); }
    void SetDeltaT(int value)
    {
        SpinTo(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2"), value);
        Pump();
    }
};

}  // namespace

TEST_F(Undo, EveryKindOfEditIsOneStepThatUndoesAndRedoes)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto* blipper = Ctrl<wxGrid>(frame, "ID_GRID2");
    auto* input1 = Ctrl<wxChoice>(frame, "ID_CHOICE1");
    auto* input3 = Ctrl<wxChoice>(frame, "ID_CHOICE3");
    auto* detection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
    auto cell = [](wxGrid* grid, int row, int col) { return grid->GetCellValue(row, col) + " "; };
    auto inFocus = [&](const char* command) {
        blipper->SetFocus();
        Run(command);
    };
    ASSERT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
    ASSERT_GT(input1->GetSelection(), 0);

    struct Case {
        const char* step;
        std::function<void()> edit;
        std::function<wxString()> seen;  // what the edit changes
    };
    const Case cases[] = {
        {"Shifter map cell", [&] { TypeCell(shifter, 2, 0, "120"); }, [&] { return cell(shifter, 2, 0); }},
        {"Paste",
         [&] {
             ASSERT_TRUE(wxTheClipboard->Open());
             wxTheClipboard->SetData(new wxTextDataObject("77\t88"));
             wxTheClipboard->Close();
             blipper->SetGridCursor(1, 1);
             inFocus("idPaste");
         },
         [&] { return cell(blipper, 1, 1) + cell(blipper, 1, 2); }},
        // A cell set without an event is taken into the next step.
        {"Fill down",
         [&] {
             blipper->SetCellValue(0, 0, "99");
             blipper->SelectBlock(0, 0, 3, 0);
             inFocus("idFillDown");
         },
         [&] { return cell(blipper, 0, 0) + cell(blipper, 3, 0); }},
        // The pause's range follows the active time.
        {"Warm-up time",
         [&] {
             SpinTo(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL14"), 500);
             Pump();
         },
         [&] { return Value("ID_SPINCTRL14") << Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL15")->GetMin(); }},
        // Input 3 takes input 1's function, which input 1 gives up.
        {"Input 3 function", [&] { Select(input3, wxEVT_CHOICE, input1->GetSelection()); },
         [&] { return wxString::Format("%d %d", input1->GetSelection(), input3->GetSelection()); }},
        {"Gear detection", [&] { Select(detection, wxEVT_RADIOBOX, 1); },
         [&] {
             return wxString() << detection->GetSelection()
                               << Ctrl<wxWindow>(frame, "GEAR_RPMSPEED_SPN_1")->IsShown();
         }},
        // The simulated unit reads 0 everywhere.
        {"Take TPS minimum", [&] { SendCommand(Ctrl<wxWindow>(frame, "ID_BUTTON11"), wxEVT_BUTTON); },
         [&] { return Value("ID_SPINCTRL17"); }},
        // Two gears at 0 are marked invalid, and no longer when undone.
        {"Take gear 3 voltage",
         [&] {
             Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_2")->SetValue(0);
             SendCommand(Ctrl<wxWindow>(frame, "GEAR_VOLTAGE_BTN_3"), wxEVT_BUTTON);
         },
         [&] { return Value("GEAR_VOLTAGE_SPN_3") << frame->GetInvalidControls().size(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const wxString before = c.seen();
        c.edit();
        Pump();
        const wxString after = c.seen();
        ASSERT_NE(after, before);
        EXPECT_EQ(UndoText(), wxString("Undo ") + c.step);
        EXPECT_FALSE(MenuItem(frame, "wxID_REDO")->IsEnabled());
        EXPECT_EQ(Status(), "Defaults of 1.08 (edited)");
        EXPECT_TRUE(frame->HasUnsavedEdits());

        Run("wxID_UNDO");
        EXPECT_EQ(c.seen(), before);
        EXPECT_EQ(MenuItem(frame, "wxID_REDO")->GetItemLabelText(), wxString("Redo ") + c.step);
        EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
        EXPECT_EQ(Status(), "Defaults of 1.08");
        EXPECT_FALSE(frame->HasUnsavedEdits());
        Run("wxID_REDO");
        EXPECT_EQ(c.seen(), after);
        Run("wxID_UNDO");
    }
    // A value set back to what it was is no step.
    SetDeltaT(DeltaT());
    EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
}

// Connect, Read, Write and Lock send the requests they sent before undo
// existed (these lists pass on the code without it); undoing sends none.
// A long session: 501 edits, and undo reaches back to the first one's result.
TEST_F(Undo, ReachesBackFiveHundredSteps)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    ASSERT_NE(shifter->GetCellValue(2, 0), "40");
    for (int step = 1; step <= 501; ++step)
        TypeCell(shifter, 2, 0, step % 2 == 1 ? "40" : "41");
    wxCommandProcessor& processor = frame->GetEditorUndo().Processor();
    int undone = 0;
    while (processor.CanUndo() && undone < 1000) {
        processor.Undo();
        ++undone;
    }
    Pump();
    EXPECT_EQ(undone, 500);
    EXPECT_EQ(shifter->GetCellValue(2, 0), "40") << "the first edit is the one the stack let go";
}

TEST_F(Undo, CommandsReplacingTheEditorsAreStepsAndTheSourceFollows)
{
    const int defaults = MakeDefaultConfiguration(DefaultsFamily::Gen108).DeltaT;
    VirtualUnit& unit = PlugUnit("VT000001");
    DeviceConfiguration stored = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    stored.DeltaT = defaults + 2;
    unit.SetConfigurationImage(EncodeConfigurationImage(stored, ImageFormat::Long));
    Launch();
    // Versions, configuration, FFT setting.
    EXPECT_EQ(TakeControlRequests(unit), (Requests{"IN 0x01", "IN 0x01", "IN 0x00", "OUT 0x03"}));
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_EQ(UndoText(), "Undo Connect");
    SetDeltaT(9);
    EXPECT_EQ(Status(), "Unit VT000001 (edited)");
    // Written, the editors hold what the unit holds; Write is no step.
    Run("idWriteConfiguration");
    EXPECT_EQ(TakeControlRequests(unit), (Requests{"OUT 0x00"}));
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_EQ(UndoText(), "Undo Delta t");

    Run("idNew");
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(Status(), "Defaults of 1.08");
    EXPECT_EQ(UndoText(), "Undo New");
    Run("wxID_UNDO");
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(Status(), "Unit VT000001");
    Run("wxID_REDO");

    const std::string folder = MakeTempFolder();
    const wxString path = folder + "/shifter-race.vtn";
    wxTEST_DIALOG(RunMenuCommand(frame, "idSaveAs"), ExpectFile(path));
    EXPECT_EQ(Status(), "shifter-race.vtn");
    Run("idReadConfiguration");
    EXPECT_EQ(TakeControlRequests(unit), (Requests{"IN 0x04", "IN 0x00"}));
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(UndoText(), "Undo Read");
    Run("wxID_UNDO");
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(Status(), "shifter-race.vtn");

    SetDeltaT(3);
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFile(path));
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(UndoText(), "Undo Open");
    Run("wxID_UNDO");
    EXPECT_EQ(DeltaT(), 3);
    EXPECT_EQ(Status(), "shifter-race.vtn (edited)");

    // Connect to the unit already connected reads it again.
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), PickFirstUnit());
    unit.ClearRequestLog();
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(UndoText(), "Undo Connect");
    Run("wxID_UNDO");
    EXPECT_EQ(DeltaT(), 3);

    // The entry point for other features: one step, the source kept.
    DeviceConfiguration restored = frame->CollectConfiguration();
    restored.DeltaT = 2;
    ASSERT_TRUE(frame->ReplaceEditorsContent(restored, "Restore"));
    EXPECT_EQ(DeltaT(), 2);
    EXPECT_EQ(UndoText(), "Undo Restore");
    EXPECT_EQ(Status(), "shifter-race.vtn (edited)");

    Run("idLockConfiguration");
    EXPECT_EQ(TakeControlRequests(unit), (Requests{"OUT 0x04"}));
    for (const char* command : {"wxID_UNDO", "wxID_UNDO", "wxID_UNDO", "wxID_REDO"})
        Run(command);
    EXPECT_TRUE(TakeControlRequests(unit).empty());
    wxRemoveFile(path);
    wxRmdir(folder);
}
