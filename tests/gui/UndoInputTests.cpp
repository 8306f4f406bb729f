// Undo and redo from the keyboard through the X server (XTest): the menu's
// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z reach the frame while a map cell or a spin
// has the keyboard, and the keys typed into a spin until it loses the keyboard
// make one step, not one per key.
#include <gtest/gtest.h>

#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>

#include "GuiTestSupport.h"
#include "VTX_GUIMain.h"
#include "XTestInput.h"

namespace {

class UndoInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(xtest::Available()) << "the display has no XTest extension";
        frame = new VTX_GUIFrame(nullptr);
        ASSERT_TRUE(xtest::ShowAndActivate(frame)) << "the frame did not become the active window";
    }
    void TearDown() override
    {
        delete frame;
        xtest::PumpFor(50);
    }

    void ShowPageOf(wxWindow* control)
    {
        auto* notebook = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
        wxWindow* page = control;
        while (page && page->GetParent() != notebook)
            page = page->GetParent();
        ASSERT_NE(page, nullptr);
        notebook->SetSelection(notebook->FindPage(page));
        xtest::PumpFor(150);
    }

    static wxPoint CellCentre(wxGrid* grid, int row, int col)
    {
        const wxRect cell = grid->CellToRect(row, col);
        const wxPoint inWindow = grid->CalcScrolledPosition(cell.GetTopLeft());
        return grid->GetGridWindow()->ClientToScreen(inWindow + wxPoint(cell.width / 2, cell.height / 2));
    }

    wxString UndoText() const { return MenuItem(frame, "wxID_UNDO")->GetItemLabelText(); }

    VTX_GUIFrame* frame = nullptr;
};

}  // namespace

TEST_F(UndoInput, ShortcutsUndoAndRedoATypedMapCell)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    ShowPageOf(shifter);
    const wxString before = shifter->GetCellValue(2, 0);
    ASSERT_NE(before, "120");
    EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
    xtest::Click(CellCentre(shifter, 2, 0));
    xtest::TypeText("120");
    xtest::PressKeys("Return");
    ASSERT_TRUE(xtest::PumpUntil([&] { return UndoText() == "Undo Shifter map cell"; }, 1000));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "Defaults of 1.08 (edited)");

    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return shifter->GetCellValue(2, 0) == before; }, 1000));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "Defaults of 1.08");
    xtest::PressKeys("Ctrl+Y");
    EXPECT_TRUE(xtest::PumpUntil([&] { return shifter->GetCellValue(2, 0) == "120"; }, 1000));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return shifter->GetCellValue(2, 0) == before; }, 1000));
    xtest::PressKeys("Ctrl+Shift+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return shifter->GetCellValue(2, 0) == "120"; }, 1000));

    // Ctrl+Z while a cell is being typed in takes the typing back.
    xtest::Click(CellCentre(shifter, 3, 0));
    xtest::TypeText("130");
    ASSERT_TRUE(shifter->IsCellEditControlShown());
    const wxString cell3 = shifter->GetCellValue(3, 0);
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return !shifter->IsCellEditControlShown(); }, 1000));
    EXPECT_EQ(shifter->GetCellValue(3, 0), cell3);
    EXPECT_EQ(UndoText(), "Undo Shifter map cell");
    xtest::PressKeys("Ctrl+Y");
    EXPECT_TRUE(xtest::PumpUntil([&] { return shifter->GetCellValue(3, 0) == "130"; }, 1000));
}

TEST_F(UndoInput, ValueTypedIntoASpinIsOneStep)
{
    auto* deltaT = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2");
    ShowPageOf(deltaT);
    const int before = deltaT->GetValue();
    const int typed = before == 8 ? 7 : 8;
    xtest::Click(deltaT);
    xtest::PressKeys("Ctrl+A");
    xtest::TypeText(wxString::Format("%d", typed));
    xtest::PumpFor(100);
    xtest::PressKeys("Tab");
    ASSERT_TRUE(xtest::PumpUntil([&] { return UndoText() == "Undo Delta t"; }, 1000));
    EXPECT_EQ(deltaT->GetValue(), typed);

    // Selecting and typing over the text passes through other values; one
    // undo goes back to the value before the typing, and nothing is left.
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return deltaT->GetValue() == before; }, 1000));
    EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
    EXPECT_EQ(MenuItem(frame, "wxID_REDO")->GetItemLabelText(), "Redo Delta t");

    // Typed again after it lost the keyboard: a step of its own.
    xtest::Click(deltaT);
    xtest::PressKeys("Ctrl+A");
    xtest::TypeText(wxString::Format("%d", typed));
    xtest::PressKeys("Tab");
    xtest::Click(deltaT);
    xtest::PressKeys("Ctrl+A");
    xtest::TypeText("3");
    xtest::PressKeys("Tab");
    ASSERT_TRUE(xtest::PumpUntil([&] { return deltaT->GetValue() == 3; }, 1000));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(xtest::PumpUntil([&] { return deltaT->GetValue() == typed; }, 1000));
    EXPECT_TRUE(MenuItem(frame, "wxID_UNDO")->IsEnabled());
}
