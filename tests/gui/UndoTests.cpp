// Undo and redo of the editors against the real frame: every kind of edit and
// every command that replaces the editors' content is one step, the Edit menu
// names it, the status bar's source and edited state follow, and neither the
// steps nor their undoing change what the unit receives.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

#include "ConnectionDialog.h"
#include "EditorUndo.h"
#include "GuiTestSupport.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "config/ConfigurationImage.h"
#include "emulator/VirtualBus.h"

namespace {

class AnswerYes : public wxExpectModalBase<wxMessageDialog, AnswerYes> {
protected:
    int OnInvoked(wxMessageDialog* /*dialog*/) const override { return wxID_YES; }
};

class AnswerFile : public wxExpectModalBase<wxFileDialog, AnswerFile> {
public:
    explicit AnswerFile(const wxString& path) : path(path) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override
    {
        dialog->SetPath(path);
        for (int turn = 0; turn < 200 && dialog->GetPath() != path; ++turn) {
            wxTheApp->Yield(true);
            wxMilliSleep(5);
        }
        return wxID_OK;
    }

private:
    wxString path;
};

// Picks the first unit of the connection dialog.
class PickFirstUnit : public wxExpectModalBase<ConnectionDialog, PickFirstUnit> {
protected:
    int OnInvoked(ConnectionDialog* dialog) const override
    {
        dialog->GetListCtrl()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        return wxID_OK;
    }
};

void SpinTo(wxSpinCtrl* spin, int value)
{
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(value);
    spin->ProcessWindowEvent(event);
}

// A cell edit as the grid's editor ends it.
void TypeCell(wxGrid* grid, int row, int col, const wxString& text)
{
    grid->SetCellValue(row, col, text);
    wxGridEvent changed(grid->GetId(), wxEVT_GRID_CELL_CHANGED, grid, row, col);
    grid->ProcessWindowEvent(changed);
}

void SetClipboard(const wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
}

class Undo : public ::testing::Test {
protected:
    void SetUp() override
    {
        bus = TestBus();
        if (!bus)
            GTEST_SKIP() << "needs the virtual USB bus (run under umockdev-wrapper)";
        frame = MainWindow();
        {
            wxConfig settings("Vantrel", "NorvaneLabs", wxEmptyString, wxEmptyString,
                              wxCONFIG_USE_LOCAL_FILE);
            settings.Write("VT000001RefusedFirmwareVersion", 0x7FFFFFFFL);
        }
        UnplugAll();
        MenuItem(frame, "idConfirmWriting")->Check(false);
        // Each test starts from New on the simulated unit, with nothing to undo.
        RunMenuCommand(frame, "idNew");
        Pump();
        frame->GetEditorUndo().Processor().ClearCommands();
        frame->GetEditorUndo().Start(DefaultsSource(*frame->GetDevice()));
    }
    void TearDown() override
    {
        if (bus)
            UnplugAll();
    }
    void UnplugAll()
    {
        for (size_t i = 0; i < bus->UnitCount(); ++i)
            if (bus->IsAttached(bus->UnitAt(i)))
                bus->Unplug(bus->UnitAt(i));
        frame->AutoConnect();
        Pump();
    }
    VirtualUnit& PlugAndLaunch()
    {
        UnitOptions options;
        options.generation = 108;
        options.serial = "VT000001";
        VirtualUnit& unit = bus->AddUnit(options);
        DeviceConfiguration stored = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        stored.DeltaT = kStoredDeltaT;
        unit.SetConfigurationImage(EncodeConfigurationImage(stored, ImageFormat::Long));
        frame->AutoConnect();
        Pump();
        return unit;
    }

    wxString UndoText() const { return MenuItem(frame, "wxID_UNDO")->GetItemLabelText(); }
    wxString RedoText() const { return MenuItem(frame, "wxID_REDO")->GetItemLabelText(); }
    wxString Status() const { return frame->GetStatusBar()->GetStatusText(0); }
    void UndoStep()
    {
        RunMenuCommand(frame, "wxID_UNDO");
        Pump();
    }
    void RedoStep()
    {
        RunMenuCommand(frame, "wxID_REDO");
        Pump();
    }
    int ShiftLight() const { return Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(); }
    int DeltaT() const { return Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2")->GetValue(); }
    void SetDeltaT(int value)
    {
        SpinTo(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2"), value);
        Pump();
    }
    static constexpr int kStoredDeltaT = 7;

    VirtualBus* bus = nullptr;
    VTX_GUIFrame* frame = nullptr;
};

}  // namespace

TEST_F(Undo, EveryKindOfEditIsOneStepThatUndoesAndRedoes)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto* blipper = Ctrl<wxGrid>(frame, "ID_GRID2");
    auto* input1 = Ctrl<wxChoice>(frame, "ID_CHOICE1");
    auto* input3 = Ctrl<wxChoice>(frame, "ID_CHOICE3");
    auto* detection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
    auto* tpsMin = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL17");
    auto* gear3 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_3");
    auto* ratio1 = Ctrl<wxSpinCtrl>(frame, "GEAR_RPMSPEED_SPN_1");
    auto* warmUpTime = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL14");
    auto* warmUpPause = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL15");
    ASSERT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
    ASSERT_FALSE(MenuItem(frame, "wxID_REDO")->IsEnabled());
    ASSERT_EQ(Status(), "Defaults of 1.08");
    ASSERT_GT(input1->GetSelection(), 0);
    ASSERT_NE(input3->GetSelection(), input1->GetSelection());

    struct Case {
        const char* step;
        std::function<void()> edit;
        std::function<wxString()> seen;  // what the edit changes, as text
    };
    const Case cases[] = {
        {"Shifter map cell", [&] { TypeCell(shifter, 2, 0, "120"); },
         [&] { return shifter->GetCellValue(2, 0); }},
        {"Paste",
         [&] {
             SetClipboard("77\t88");
             blipper->SetFocus();
             blipper->ClearSelection();
             blipper->SetGridCursor(1, 1);
             RunMenuCommand(frame, "idPaste");
         },
         [&] { return blipper->GetCellValue(1, 1) + " " + blipper->GetCellValue(1, 2); }},
        {"Fill down",
         [&] {
             blipper->SetCellValue(0, 0, "99");  // folded into the step
             blipper->SetFocus();
             blipper->SelectBlock(0, 0, 3, 0);
             RunMenuCommand(frame, "idFillDown");
         },
         [&] { return blipper->GetCellValue(0, 0) + " " + blipper->GetCellValue(3, 0); }},
        {"Shift light speed", [&] { SpinTo(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1"), 12000); },
         [&] { return wxString::Format("%d", ShiftLight()); }},
        // The pause's range follows the active time, also when undone.
        {"Warm-up time", [&] { SpinTo(warmUpTime, 500); },
         [&] { return wxString::Format("%d %d", warmUpTime->GetValue(), warmUpPause->GetMin()); }},
        // Input 3 takes input 1's function, which input 1 gives up: one step.
        {"Input 3 function",
         [&] {
             input3->SetSelection(input1->GetSelection());
             SendCommand(input3, wxEVT_CHOICE, input3->GetSelection());
         },
         [&] { return wxString::Format("%d %d", input1->GetSelection(), input3->GetSelection()); }},
        {"Gear detection",
         [&] {
             detection->SetSelection(1);
             SendCommand(detection, wxEVT_RADIOBOX, 1);
         },
         [&] {
             return wxString::Format("%d %d", detection->GetSelection(), int(ratio1->GetParent()->IsShown()));
         }},
        // The simulated unit reads 0 everywhere.
        {"Take TPS minimum", [&] { SendCommand(Ctrl<wxWindow>(frame, "ID_BUTTON11"), wxEVT_BUTTON); },
         [&] { return wxString::Format("%d", tpsMin->GetValue()); }},
        {"Take gear 3 voltage",
         [&] { SendCommand(Ctrl<wxWindow>(frame, "GEAR_VOLTAGE_BTN_3"), wxEVT_BUTTON); },
         [&] { return wxString::Format("%d", gear3->GetValue()); }},
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

        UndoStep();
        EXPECT_EQ(c.seen(), before);
        EXPECT_EQ(RedoText(), wxString("Redo ") + c.step);
        EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
        EXPECT_EQ(Status(), "Defaults of 1.08");
        EXPECT_FALSE(frame->HasUnsavedEdits());

        RedoStep();
        EXPECT_EQ(c.seen(), after);
        EXPECT_EQ(Status(), "Defaults of 1.08 (edited)");
        UndoStep();
        EXPECT_EQ(c.seen(), before);
    }
    // A spin set back to the value it had is no step; after two steps the
    // first undo takes back only the second.
    const int first = DeltaT();
    SetDeltaT(first);
    EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
    SetDeltaT(first == 9 ? 8 : 9);
    const int second = DeltaT();
    TypeCell(shifter, 0, 0, "40");
    Pump();
    UndoStep();
    EXPECT_EQ(DeltaT(), second);
    EXPECT_EQ(UndoText(), "Undo Delta t");
    UndoStep();
    EXPECT_EQ(DeltaT(), first);
}

TEST_F(Undo, CommandsReplacingTheEditorsAreStepsAndTheSourceFollows)
{
    const int defaults = MakeDefaultConfiguration(DefaultsFamily::Gen108).DeltaT;
    ASSERT_NE(defaults, kStoredDeltaT);
    PlugAndLaunch();
    EXPECT_EQ(DeltaT(), kStoredDeltaT);
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_EQ(UndoText(), "Undo Connect");

    SetDeltaT(9);
    EXPECT_EQ(Status(), "Unit VT000001 (edited)");
    // Written, the editors are what the unit holds: no longer edited, and
    // Write itself is no step.
    RunMenuCommand(frame, "idWriteConfiguration");
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_FALSE(frame->HasUnsavedEdits());
    EXPECT_EQ(UndoText(), "Undo Delta t");

    RunMenuCommand(frame, "idNew");
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(Status(), "Defaults of 1.08");
    EXPECT_EQ(UndoText(), "Undo New");
    UndoStep();
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(Status(), "Unit VT000001");
    RedoStep();
    EXPECT_EQ(Status(), "Defaults of 1.08");

    const std::string folder = MakeTempFolder();
    const wxString path = folder + "/shifter-race.vtn";
    wxTEST_DIALOG(RunMenuCommand(frame, "idSaveAs"), AnswerFile(path));
    EXPECT_EQ(Status(), "shifter-race.vtn");
    EXPECT_EQ(UndoText(), "Undo New");

    RunMenuCommand(frame, "idReadConfiguration");
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_EQ(UndoText(), "Undo Read");
    UndoStep();
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(Status(), "shifter-race.vtn");

    SetDeltaT(3);
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), AnswerFile(path));
    EXPECT_EQ(DeltaT(), defaults);
    EXPECT_EQ(Status(), "shifter-race.vtn");
    EXPECT_EQ(UndoText(), "Undo Open");
    UndoStep();
    EXPECT_EQ(DeltaT(), 3);
    EXPECT_EQ(Status(), "shifter-race.vtn (edited)");

    // Connect to the unit already connected reads it again: one step.
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), PickFirstUnit());
    Pump();
    EXPECT_EQ(DeltaT(), 9);
    EXPECT_EQ(Status(), "Unit VT000001");
    EXPECT_EQ(UndoText(), "Undo Connect");
    UndoStep();
    EXPECT_EQ(DeltaT(), 3);

    // The one entry point for other features: a step, the source kept.
    DeviceConfiguration restored = frame->CollectConfiguration();
    restored.DeltaT = 2;
    ASSERT_TRUE(frame->ReplaceEditorsContent(restored, "Restore"));
    EXPECT_EQ(DeltaT(), 2);
    EXPECT_EQ(UndoText(), "Undo Restore");
    EXPECT_EQ(Status(), "shifter-race.vtn (edited)");
    UndoStep();
    EXPECT_EQ(DeltaT(), 3);
    wxRemoveFile(path);
    wxRmdir(folder);
}
