// The main window driven by real input through the X server (XTest): the
// toolkit decides which window a click reaches and which control gets the
// keys, as it does for a user. Each test builds its own frame on the suite's
// throw-away settings store and shows it in front.
#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>

#include "GuiTestSupport.h"
#include "XTestInput.h"
#include "config/DeviceConfiguration.h"
#include "editor/MapTools.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/editors/MapCurvesPanel.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LogReplay.h"
#include "gui/widgets/SpinCtrlStep.h"

namespace {

class RealInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(xtest::Available()) << "the display has no XTest extension";
        frame = new VTX_GUIFrame(nullptr);
        ASSERT_TRUE(xtest::ShowAndActivate(frame)) << "the frame did not become the active window";
        notebook = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
    }
    void TearDown() override
    {
        delete frame;
        RunEventsFor(50);
    }

    // Brings the notebook page that holds `control` to the front.
    void ShowPageOf(wxWindow* control)
    {
        wxWindow* page = control;
        while (page && page->GetParent() != notebook)
            page = page->GetParent();
        ASSERT_NE(page, nullptr);
        notebook->SetSelection(notebook->FindPage(page));
        RunEventsFor(150);
    }

    VTX_GUIFrame* frame = nullptr;
    wxNotebook* notebook = nullptr;
};

bool HasFftPage(wxNotebook* notebook)
{
    for (size_t page = 0; page < notebook->GetPageCount(); ++page)
        if (notebook->GetPage(page)->GetName() == "ID_PNL_FFT")
            return true;
    return false;
}

}  // namespace

// The label sits in a static box, which is where the toolkit may deliver a
// click on it; clicks on the box beside the label must not count.
TEST_F(RealInput, TenDoubleClicksOnTheBlipperLabelRevealTheFftPage)
{
    auto* label = Ctrl<wxStaticText>(frame, "ID_STATICTEXT31");
    ASSERT_NE(label, nullptr);
    ShowPageOf(label);
    ASSERT_FALSE(HasFftPage(notebook));
    const size_t pages = notebook->GetPageCount();
    const int selected = notebook->GetSelection();

    for (int click = 1; click <= 9; ++click)
        xtest::DoubleClick(label);
    EXPECT_FALSE(HasFftPage(notebook));

    // Beside the label inside its box, well clear of every control there.
    wxWindow* box = label->GetParent();
    while (box && !dynamic_cast<wxStaticBox*>(box))
        box = box->GetParent();
    ASSERT_NE(box, nullptr) << "the label is expected inside a static box";
    const wxRect labelRect = label->GetScreenRect();
    const wxRect boxRect = box->GetScreenRect();
    const wxPoint beside(boxRect.GetRight() - 16, labelRect.y + labelRect.height / 2);
    ASSERT_GT(beside.x, labelRect.GetRight() + 10);
    for (wxWindow* child : box->GetChildren())
        ASSERT_FALSE(child->IsShown() && child->GetScreenRect().Contains(beside)) << child->GetName();
    xtest::DoubleClick(beside);
    // The label above is where a click misplaced by the caption comes from.
    xtest::DoubleClick(Ctrl<wxWindow>(frame, "ID_STATICTEXT68"));
    EXPECT_FALSE(HasFftPage(notebook));

    xtest::DoubleClick(label);
    ASSERT_TRUE(HasFftPage(notebook));
    EXPECT_EQ(notebook->GetPageCount(), pages + 1);
    EXPECT_EQ(notebook->GetPageText(pages), "FFT");
    EXPECT_EQ(notebook->GetSelection(), selected);
}

// Each click on an arrow of a stepped spin moves by its step from the value
// it last settled on, rounded to the step.
TEST_F(RealInput, SpinArrowClicksMoveByTheStep)
{
    auto* spin = Ctrl<SpinCtrlStep>(frame, "ID_SPINCTRL17");
    ASSERT_NE(spin, nullptr);
    ASSERT_EQ(spin->GetStep(), 50);
    ShowPageOf(spin);
    spin->SetValue(120);
    xtest::ClickSpinArrow(spin, 1);
    EXPECT_TRUE(RunEventsUntil([spin] { return spin->GetValue() != 120; }, 1000));
    EXPECT_EQ(spin->GetValue(), 150);
    xtest::ClickSpinArrow(spin, 1);
    RunEventsFor(100);
    EXPECT_EQ(spin->GetValue(), 200);
    xtest::ClickSpinArrow(spin, -1);
    RunEventsFor(100);
    EXPECT_EQ(spin->GetValue(), 150);
}

// Ctrl+N (New) puts the unit's defaults back into the editors.
TEST_F(RealInput, MenuShortcutRunsItsCommand)
{
    auto* shiftLight = Ctrl<SpinCtrlStep>(frame, "ID_SPINCTRL1");
    ASSERT_NE(shiftLight, nullptr);
    const int defaultValue = frame->GetDevice()->GetDefaultConfiguration().ShiftLightRPM;
    shiftLight->SetValue(defaultValue + 1000);
    xtest::PressKeys("Ctrl+N");
    EXPECT_TRUE(RunEventsUntil([&] { return shiftLight->GetValue() == defaultValue; }, 1000));
}

// Ctrl+C on a 2 x 2 selection made with the keyboard, Ctrl+V at another cell.
TEST_F(RealInput, CopyAndPasteMapCellsWithTheKeyboard)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    ASSERT_NE(shifter, nullptr);
    ShowPageOf(shifter);
    shifter->SetCellValue(0, 0, "61");
    shifter->SetCellValue(0, 1, "62");
    shifter->SetCellValue(1, 0, "71");
    shifter->SetCellValue(1, 1, "72");
    // A click on the cursor cell would open its editor: start from (1, 1).
    xtest::Click(xtest::CellCentre(shifter, 1, 1));
    xtest::PressKeys("Shift+Up");
    xtest::PressKeys("Shift+Left");
    ASSERT_TRUE(shifter->IsInSelection(0, 0) && shifter->IsInSelection(1, 1));
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
    xtest::PressKeys("Ctrl+C");
    EXPECT_TRUE(RunEventsUntil([] { return !ClipboardText().empty(); }, 1000));
    EXPECT_EQ(ClipboardText(), "61\t62\r\n71\t72");

    xtest::Click(xtest::CellCentre(shifter, 6, 2));
    xtest::PressKeys("Ctrl+V");
    EXPECT_TRUE(RunEventsUntil([shifter] { return shifter->GetCellValue(7, 3) == "72"; }, 1000));
    EXPECT_EQ(shifter->GetCellValue(6, 2), "61");
    EXPECT_EQ(shifter->GetCellValue(6, 3), "62");
    EXPECT_EQ(shifter->GetCellValue(7, 2), "71");
}

// Undo and redo from the keyboard reach the frame while a map cell or a spin
// has the keyboard.
TEST_F(RealInput, ShortcutsUndoAndRedoTypedCellsAndSpins)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto cellIs = [&](int row, const wxString& text) {
        return RunEventsUntil([&] { return shifter->GetCellValue(row, 0) == text; }, 1000);
    };
    ShowPageOf(shifter);
    const wxString before = shifter->GetCellValue(2, 0);
    ASSERT_NE(before, "120");
    xtest::Click(xtest::CellCentre(shifter, 2, 0));
    xtest::TypeText("120");
    xtest::PressKeys("Return");
    ASSERT_TRUE(RunEventsUntil(
        [&] { return MenuItem(frame, "wxID_UNDO")->GetItemLabelText() == "Undo Shifter map cell"; }, 1000));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(cellIs(2, before));
    xtest::PressKeys("Ctrl+Y");
    EXPECT_TRUE(cellIs(2, "120"));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(cellIs(2, before));
    xtest::PressKeys("Ctrl+Shift+Z");
    EXPECT_TRUE(cellIs(2, "120"));

    // Ctrl+Z while a cell is being typed in takes the typing back.
    const wxString cell3 = shifter->GetCellValue(3, 0);
    xtest::Click(xtest::CellCentre(shifter, 3, 0));
    xtest::TypeText("130");
    ASSERT_TRUE(shifter->IsCellEditControlShown());
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(RunEventsUntil([&] { return !shifter->IsCellEditControlShown(); }, 1000));
    EXPECT_EQ(shifter->GetCellValue(3, 0), cell3);
    xtest::PressKeys("Ctrl+Y");
    EXPECT_TRUE(cellIs(3, "130"));

    // Selecting and typing over a spin's text passes through other values:
    // until the spin loses the keyboard it is one step.
    auto* deltaT = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2");
    ShowPageOf(deltaT);
    const int value = deltaT->GetValue();
    auto type = [&](int typed) {
        xtest::Click(deltaT);
        xtest::PressKeys("Ctrl+A");
        xtest::TypeText(wxString::Format("%d", typed));
        xtest::PressKeys("Tab");
        return RunEventsUntil([&] { return deltaT->GetValue() == typed; }, 1000);
    };
    ASSERT_TRUE(type(value == 8 ? 7 : 8));
    ASSERT_TRUE(type(3));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(RunEventsUntil([&] { return deltaT->GetValue() == (value == 8 ? 7 : 8); }, 1000));
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(RunEventsUntil([&] { return deltaT->GetValue() == value; }, 1000));
    EXPECT_EQ(MenuItem(frame, "wxID_UNDO")->GetItemLabelText(), "Undo Shifter map cell");
}

// The sample log replayed: a click and then the pointer over the chart put
// the cursor on the log's row nearest the time under it; with the keyboard
// on the chart, Right, Home and End move it by the log's rows.
TEST_F(RealInput, ChartCursorFollowsThePointerAndTheKeys)
{
    ASSERT_TRUE(frame->GetReplay().Open(VANTREL_SAMPLE_LOG));
    frame->GetReplay().SeekTo(20000);
    ShowPageOf(Ctrl<wxWindow>(frame, "ID_PANEL7"));
    LiveChart* chart = frame->GetLiveChart();
    ASSERT_NE(chart, nullptr);
    const std::vector<LogRow>& rows = frame->GetReplay().Timeline()->Rows();
    const ChartWindow window = chart->Window();
    const auto [plotLeft, plotWidth] = chart->PlotSpan();
    auto nearest = [&](int64_t ms) {
        size_t best = 0;
        for (size_t i = 0; i < rows.size(); ++i)
            if (std::llabs(static_cast<int64_t>(rows[i].ms) - ms) <
                std::llabs(static_cast<int64_t>(rows[best].ms) - ms))
                best = i;
        return best;
    };
    const wxRect screen = chart->GetScreenRect();
    for (const bool click : {true, false}) {
        const double fraction = click ? 0.6 : 0.25;
        const int x = static_cast<int>(plotLeft + plotWidth * fraction);
        xtest::MovePointer(wxPoint(screen.x + x, screen.y + screen.height / 3));
        if (click) {
            xtest::Click();
        } else {
            xtest::PressKeys("Escape");  // lets go of the clicked cursor: it follows the pointer
            ASSERT_FALSE(chart->CursorSample().has_value());
            xtest::MovePointer(wxPoint(screen.x + x, screen.y + screen.height / 3));
        }
        ASSERT_TRUE(RunEventsUntil([&] { return chart->CursorSample().has_value(); })) << fraction;
        const int64_t time =
            window.left + static_cast<int64_t>((window.right - window.left) * (x - plotLeft) / plotWidth);
        const LogRow& expected = rows[nearest(time)];
        EXPECT_LE(
            std::llabs(static_cast<int64_t>(chart->CursorSample()->ms) - static_cast<int64_t>(expected.ms)),
            100)
            << "at " << time << " ms";
        const LogRow& shown = rows[nearest(static_cast<int64_t>(chart->CursorSample()->ms))];
        EXPECT_EQ(chart->CursorSample()->values, shown.values) << "the values of that row";
    }
    xtest::Click();
    const size_t at = nearest(static_cast<int64_t>(chart->CursorSample()->ms));
    xtest::PressKeys("Right");
    ASSERT_TRUE(RunEventsUntil([&] { return chart->CursorSample()->ms == rows[at + 1].ms; }))
        << "Right: the next row";
    xtest::PressKeys("Home");
    EXPECT_TRUE(RunEventsUntil([&] { return chart->CursorSample()->ms == rows.front().ms; }));
    xtest::PressKeys("End");
    size_t last = rows.size() - 1;
    while (rows[last].ms > static_cast<uint64_t>(window.right))
        --last;
    EXPECT_TRUE(RunEventsUntil([&] { return chart->CursorSample()->ms == rows[last].ms; }));
    frame->GetReplay().Close();
    xtest::PressKeys("space");
    auto* hold = Ctrl<wxToggleButton>(frame, "ID_TOGGLE_CHART_HOLD");
    EXPECT_TRUE(RunEventsUntil([&] { return chart->Held() && hold->GetValue(); }))
        << "Space holds the live view";
}

// The map tools' keys on a block selected in the shifter grid, each one undo
// step; a refused tool changes nothing and says why.
TEST_F(RealInput, MapToolKeysActOnTheSelectedBlock)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    ASSERT_NE(shifter, nullptr);
    ShowPageOf(shifter);
    auto column = [shifter] {
        MapGridValues values{};
        for (int row = 0; row < kMapGridRows; ++row)
            values[row][0] = LeadingInteger(shifter->GetCellValue(row, 0).utf8_string());
        return values;
    };
    auto undoLabel = [&] { return MenuItem(frame, "wxID_UNDO")->GetItemLabelText(); };
    xtest::TypeIntoCell(shifter, 1, 0, "40");
    xtest::TypeIntoCell(shifter, 14, 0, "100");
    ASSERT_TRUE(RunEventsUntil([&] { return shifter->GetCellValue(14, 0) == "100"; }, 1000));
    const MapGridValues typed = column();
    // 3,000 ... 16,000 rpm of gear 1, selected with the keyboard.
    xtest::Click(xtest::CellCentre(shifter, 2, 0));
    xtest::PressKeys("Up");
    for (int row = 1; row < 14; ++row)
        xtest::PressKeys("Shift+Down");
    ASSERT_TRUE(shifter->IsInSelection(1, 0) && shifter->IsInSelection(14, 0) &&
                !shifter->IsInSelection(0, 0));
    MapCellSelection selected{};
    for (int row = 1; row <= 14; ++row)
        selected[row][0] = true;

    const struct {
        const char* keys;
        const char* step;
        MapToolOutcome expected;
    } presses[] = {
        {"v", "Undo Interpolate vertically", InterpolateVertically(typed, selected, MapGridKind::Shifter)},
        {"Shift+equal", "Undo Increase", AddToCells(typed, selected, MapGridKind::Shifter, 1)},
        {"KP_Subtract", "Undo Decrease", AddToCells(typed, selected, MapGridKind::Shifter, -1)},
        {"Prior", "Undo Increase \u00D710", AddToCells(typed, selected, MapGridKind::Shifter, 10)},
        {"s", "Undo Smooth", SmoothCells(typed, selected, MapGridKind::Shifter)},
    };
    for (const auto& press : presses) {
        ASSERT_FALSE(press.expected.writes.empty()) << press.keys;
        MapGridValues expected = typed;
        for (const CellWrite& write : press.expected.writes)
            expected[write.row][write.col] = static_cast<int32_t>(write.value);
        xtest::PressKeys(press.keys);
        EXPECT_TRUE(RunEventsUntil([&] { return column() == expected; }, 1000)) << press.keys;
        EXPECT_EQ(undoLabel(), wxString::FromUTF8(press.step)) << press.keys;
        EXPECT_FALSE(shifter->IsCellEditControlShown()) << press.keys;
        xtest::PressKeys("Ctrl+Z");
        EXPECT_TRUE(RunEventsUntil([&] { return column() == typed; }, 1000)) << press.keys;
    }

    // A 0 in a corner: "/" refuses, naming the cell; no step.
    xtest::TypeIntoCell(shifter, 14, 0, "0");
    ASSERT_TRUE(RunEventsUntil([&] { return shifter->GetCellValue(14, 0) == "0"; }, 1000));
    xtest::Click(xtest::CellCentre(shifter, 2, 0));
    xtest::PressKeys("Up");
    for (int row = 1; row < 14; ++row)
        xtest::PressKeys("Shift+Down");
    const MapGridValues zeroCorner = column();
    xtest::PressKeys("slash");
    RunEventsFor(200);
    EXPECT_EQ(column(), zeroCorner);
    EXPECT_EQ(undoLabel(), "Undo Shifter map cell");
    const wxString said = frame->GetStatusBar()->GetStatusText(0);
    EXPECT_TRUE(said.Contains(shifter->GetRowLabelValue(14) + " rpm")) << said;
}

// The Curves switch shows the shifter map's curves without growing the
// window; a point dragged up with the mouse changes its cell, one undo step.
TEST_F(RealInput, DraggingACurvePointChangesItsCell)
{
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    ASSERT_NE(shifter, nullptr);
    ShowPageOf(shifter);
    auto* toggle = dynamic_cast<wxCheckBox*>(frame->FindWindow("ID_MAP_CURVES_SHIFTER_SWITCH"));
    auto* curves = dynamic_cast<MapCurvesPanel*>(frame->FindWindow("ID_MAP_CURVES_SHIFTER"));
    ASSERT_TRUE(toggle && curves);
    ASSERT_FALSE(curves->IsShown());
    const wxSize size = frame->GetSize();
    xtest::Click(toggle);
    ASSERT_TRUE(RunEventsUntil([&] { return curves->IsShownOnScreen(); }, 1000));
    RunEventsFor(150);
    EXPECT_EQ(frame->GetSize(), size);

    shifter->SetGridCursor(0, 0);
    const wxString before = shifter->GetCellValue(7, 0);  // 9,000 rpm in 1st
    const CurveArea area = curves->Area();
    const long ms = LeadingInteger(before.utf8_string());
    const wxPoint from(static_cast<int>(CurveX(area, 9000)),
                       static_cast<int>(CurveY(area, ms, MapGridKind::Shifter)));
    const wxPoint to(from.x, static_cast<int>(CurveY(area, 100, MapGridKind::Shifter)));
    xtest::Drag(curves->ClientToScreen(from), curves->ClientToScreen(to));
    const wxString dragged = wxString::Format("%ld", DraggedValue(area, to.y, MapGridKind::Shifter));
    EXPECT_TRUE(RunEventsUntil([&] { return shifter->GetCellValue(7, 0) == dragged; }, 1000))
        << shifter->GetCellValue(7, 0);
    EXPECT_EQ(wxPoint(shifter->GetGridCursorRow(), shifter->GetGridCursorCol()), wxPoint(7, 0))
        << "the grid's cursor is on the dragged point's cell";
    EXPECT_EQ(MenuItem(frame, "wxID_UNDO")->GetItemLabelText(), "Undo Shifter map cell");
    xtest::PressKeys("Ctrl+Z");
    EXPECT_TRUE(RunEventsUntil([&] { return shifter->GetCellValue(7, 0) == before; }, 1000));
    EXPECT_FALSE(MenuItem(frame, "wxID_UNDO")->IsEnabled()) << "the drag was more than one step";
    // The toolkit may deliver the release with no motion to its place before
    // it (under load, the last motions of a drag were seen to go missing).
    for (const auto& [type, at] : {std::pair{wxEVT_LEFT_DOWN, from}, std::pair{wxEVT_LEFT_UP, to}}) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(curves);
        curves->GetEventHandler()->ProcessEvent(event);
    }
    EXPECT_EQ(shifter->GetCellValue(7, 0), dragged) << "the point ends where the button was let go";
    xtest::TypeText("95");  // the keyboard went to the grid with the point
    xtest::PressKeys("Return");
    EXPECT_TRUE(RunEventsUntil([&] { return shifter->GetCellValue(7, 0) == "95"; }, 1000))
        << shifter->GetCellValue(7, 0);
    xtest::Click(toggle);  // off again, as the settings store is shared
    EXPECT_TRUE(RunEventsUntil([&] { return !curves->IsShown(); }, 1000));
}
