// The configuration editors on the main window as the wiring of their rules,
// which are tested without a display (tests/editor): the grids and their
// commands, records shown and collected, the layout against the binding
// table, validation marks and the consistency handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "config/DeviceConfiguration.h"
#include "editor/EditorModel.h"
#include "editor/MapGridRules.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/widgets/SpinCtrlStep.h"
#include "tests/editor/EditorRecordCases.h"

namespace {

wxGrid* Blipper()
{
    return Ctrl<wxGrid>(MainWindow(), "ID_GRID2");
}
wxGrid* Shifter()
{
    return Ctrl<wxGrid>(MainWindow(), "ID_GRID3");
}

// Editors back to the simulated unit's defaults before each test.
class Editors : public OnVirtualBus {
protected:
    Editors() : OnVirtualBus(true) {}
};

// Edits a cell through the grid's own editor, as typing would.
void TypeIntoCell(wxGrid* grid, int row, int col, const wxString& text)
{
    grid->SetFocus();
    grid->SetGridCursor(row, col);
    grid->EnableCellEditControl(true);
    wxGridCellEditor* editor = grid->GetCellEditor(row, col);
    wxWindow* control = editor->GetWindow();
    if (auto* textCtrl = dynamic_cast<wxTextCtrl*>(control))
        textCtrl->SetValue(text);
    else if (auto* spin = dynamic_cast<wxSpinCtrl*>(control))
        spin->SetValue(text);
    editor->DecRef();
    grid->DisableCellEditControl();
}

void SetClipboard(const wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
}

// Brings the notebook page holding a control to the front while it exists.
class GearPageInFront {
public:
    explicit GearPageInFront(wxWindow* control)
    {
        for (wxWindow* page = control; page && page->GetParent(); page = page->GetParent()) {
            book = dynamic_cast<wxNotebook*>(page->GetParent());
            if (book) {
                previous = book->GetSelection();
                book->SetSelection(book->FindPage(page));
                return;
            }
        }
        ADD_FAILURE() << "the control is on no notebook page";
    }
    ~GearPageInFront()
    {
        if (book)
            book->SetSelection(previous);
    }
    GearPageInFront(const GearPageInFront&) = delete;
    GearPageInFront& operator=(const GearPageInFront&) = delete;

private:
    wxNotebook* book = nullptr;
    int previous = 0;
};

}  // namespace

// The grids follow the grid rules (editor/MapGridRules): the rows and their
// rpm, the cell rule's veto, and copy, paste and fill down.
TEST_F(Editors, GridsAndTheirCommandsFollowTheGridRules)
{
    for (const auto& [grid, kind] :
         {std::pair{Blipper(), MapGridKind::Blipper}, {Shifter(), MapGridKind::Shifter}}) {
        SCOPED_TRACE(kind == MapGridKind::Blipper ? "blipper" : "shifter");
        ASSERT_EQ(grid->GetNumberRows(), kMapGridRows);
        ASSERT_EQ(grid->GetNumberCols(), kMapGridCols);
        // With or without the locale's thousands separator.
        for (int row : {0, kMapGridRows - 1}) {
            wxString label = grid->GetRowLabelValue(row);
            label.Replace(",", "");
            label.Replace(".", "");
            EXPECT_EQ(label, wxString::Format("%ld", MapGridRowRpm(row)));
        }
        for (const char* typed : {"0", "25", "29", "30", "150", "151", "220", "221"}) {
            const wxString before = grid->GetCellValue(3, 1);
            TypeIntoCell(grid, 3, 1, typed);
            EXPECT_EQ(grid->GetCellValue(3, 1), CellTextAllowed(typed, kind) ? wxString(typed) : before)
                << typed;
            grid->SetCellValue(3, 1, before);
        }
    }
    EXPECT_EQ(Blipper()->GetColLabelValue(0), "2");
    EXPECT_EQ(Blipper()->GetColLabelValue(4), "6");
    EXPECT_EQ(Shifter()->GetColLabelValue(0), "1");
    EXPECT_EQ(Shifter()->GetColLabelValue(4), "5");

    auto cells = [](wxGrid* grid) {
        MapGridValues values{};
        for (int row = 0; row < kMapGridRows; ++row)
            for (int col = 0; col < kMapGridCols; ++col)
                values[row][col] = LeadingInteger(grid->GetCellValue(row, col).utf8_string());
        return values;
    };
    // Copy gives the text of the selected cells.
    wxGrid* grid = Shifter();
    grid->SetFocus();
    grid->SetGridCursor(2, 1);
    grid->SelectBlock(2, 1, 3, 2);
    GridSelection selection(kMapGridRows, std::vector<std::optional<std::string>>(kMapGridCols));
    for (int row = 2; row <= 3; ++row)
        for (int col = 1; col <= 2; ++col)
            selection[row][col] = grid->GetCellValue(row, col).utf8_string();
    RunMenuCommand(frame, "idCopy");
    EXPECT_EQ(ClipboardText(), wxString::FromUTF8(CopyText(selection)));

    // Paste writes what the rule writes from the cursor, and nothing else.
    const std::tuple<const char*, int, int> pastes[] = {{"60\t70\r\n200", 4, 2}, {"40\t41\t42", 0, 3}};
    for (const auto& [text, top, left] : pastes) {
        MapGridValues expected = cells(grid);
        for (const CellWrite& write :
             PasteWrites(text, MapGridKind::Shifter, top, left, kMapGridRows, kMapGridCols))
            expected[write.row][write.col] = static_cast<int32_t>(write.value);
        SetClipboard(text);
        grid->ClearSelection();
        grid->SetGridCursor(top, left);
        RunMenuCommand(frame, "idPaste");
        EXPECT_EQ(cells(grid), expected) << text;
    }

    // Fill down copies as the rule says within the selected block.
    grid = Blipper();
    grid->SetCellValue(6, 0, "111");
    grid->SetCellValue(6, 1, "122");
    grid->SetFocus();
    grid->SelectBlock(6, 0, 9, 1);
    std::vector<std::vector<bool>> selected(kMapGridRows, std::vector<bool>(kMapGridCols));
    for (int row = 6; row <= 9; ++row)
        selected[row][0] = selected[row][1] = true;
    MapGridValues expected = cells(grid);
    for (const CellCopy& copy : FillDownCopies(selected))
        expected[copy.row][copy.col] = expected[copy.fromRow][copy.col];
    RunMenuCommand(frame, "idFillDown");
    EXPECT_EQ(cells(grid), expected);
}

// Whatever record comes in, the window shows and collects it as the editor
// model does (tests/editor: the model holds every valid record unchanged):
// the generations' defaults, records at the ends of every range, a record
// without a map row, and one the pulses choice cannot show.
TEST_F(Editors, EveryRecordIsShownAndCollectedAsTheModelDoes)
{
    std::vector<editor_record_cases::RecordCase> records;
    for (DefaultsFamily family :
         {DefaultsFamily::Base, DefaultsFamily::Gen103, DefaultsFamily::Gen107, DefaultsFamily::Gen108})
        records.push_back(
            {"defaults " + std::to_string(static_cast<int>(family)), MakeDefaultConfiguration(family)});
    for (editor_record_cases::RecordCase& c : editor_record_cases::RecordsAtTheLimits())
        records.push_back(std::move(c));
    records.push_back({"no fourth blipper row", defaults});
    for (int cell = 0; cell < kMapCells; ++cell)
        records.back().config.BlipperMap[3][cell] = -1;
    records.push_back({"3 pulses", defaults});
    records.back().config.PulsesPerTwoRevolutions = 3;
    records.back().config.ShiftLightRPM = 4200;

    for (const editor_record_cases::RecordCase& c : records) {
        Blipper()->SetCellValue(7, 3, "99");  // stays where the record has no row
        EditorModel model;
        model.Show(frame->CollectConfiguration());
        bool refused = false;
        try {
            model.Show(c.config);
        } catch (const std::runtime_error&) {
            refused = true;
        }
        if (refused) {
            EXPECT_THROW(frame->ShowConfiguration(c.config), std::runtime_error) << c.name;
        } else {
            frame->ShowConfiguration(c.config);
        }
        frame->RefreshControls();
        frame->ValidateControls();
        const DeviceConfiguration collected = frame->CollectConfiguration();
        EXPECT_TRUE(collected == model.Collect())
            << c.name << ":" << editor_record_cases::Differences(model.Collect(), collected);
        EXPECT_EQ(Ctrl<wxTextCtrl>(frame, "ID_TEXTCTRL12")->GetValue(),
                  wxString::Format("%d", Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL18")->GetValue()))
            << c.name;
    }
}

// The binding table and the layout agree on every control: its kind, its
// items or range and its step.
TEST_F(Editors, BindingTableMatchesTheLayout)
{
    for (const ControlBinding& binding : kEditorBindings) {
        wxWindow* control = FindControl(frame, binding.name);  // its page built first
        ASSERT_NE(control, nullptr) << binding.name;
        switch (binding.kind) {
            case ControlKind::Choice:
                ASSERT_NE(dynamic_cast<wxChoice*>(control), nullptr) << binding.name;
                EXPECT_EQ(binding.min, 0) << binding.name;
                EXPECT_EQ(static_cast<int>(dynamic_cast<wxChoice*>(control)->GetCount()) - 1, binding.max)
                    << binding.name;
                break;
            case ControlKind::RadioBox:
                ASSERT_NE(dynamic_cast<wxRadioBox*>(control), nullptr) << binding.name;
                EXPECT_EQ(static_cast<int>(dynamic_cast<wxRadioBox*>(control)->GetCount()) - 1, binding.max)
                    << binding.name;
                break;
            case ControlKind::Spin:
            case ControlKind::SteppedSpin: {
                auto* spin = dynamic_cast<wxSpinCtrl*>(control);
                ASSERT_NE(spin, nullptr) << binding.name;
                auto* stepped = dynamic_cast<SpinCtrlStep*>(control);
                EXPECT_EQ(stepped != nullptr, binding.kind == ControlKind::SteppedSpin) << binding.name;
                // The window gives every stepped spin the table's step.
                if (stepped) {
                    EXPECT_EQ(stepped->GetStep(), binding.step) << binding.name;
                }
                // The pause's range follows the active time.
                const auto [min, max] = binding.mapping == Mapping::WarmUpPause
                                            ? WarmUpPauseRange(frame->CollectConfiguration().WarmupActiveTime)
                                            : std::make_pair(binding.min, binding.max);
                EXPECT_EQ(spin->GetMin(), min) << binding.name;
                EXPECT_EQ(spin->GetMax(), max) << binding.name;
                break;
            }
        }
    }
}

TEST_F(Editors, WarmUpPeriodStaysInItsRangeWhileTheActiveTimeChanges)
{
    auto* active = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL14");
    DeviceConfiguration config = defaults;
    config.WarmUpPeriod = 2000;
    config.WarmupActiveTime = 200;
    frame->ShowConfiguration(config);
    SpinTo(active, 300);
    EXPECT_EQ(frame->CollectConfiguration().WarmUpPeriod, 2000);
    EXPECT_EQ(frame->CollectConfiguration().WarmupActiveTime, 300);

    config.WarmUpPeriod = 0;
    frame->ShowConfiguration(config);
    SpinTo(active, 100);
    EXPECT_EQ(frame->CollectConfiguration().WarmUpPeriod, 0);
    EXPECT_EQ(frame->CollectConfiguration().WarmupActiveTime, 100);

    // A pasted active time moves the pause's range as well.
    config.WarmUpPeriod = 2000;
    frame->ShowConfiguration(config);
    SetClipboard("500");
    active->SetFocus();
    Pump();
    ASSERT_EQ(wxWindow::FindFocus(), active);
    RunMenuCommand(frame, "idPaste");
    EXPECT_EQ(frame->CollectConfiguration().WarmUpPeriod, 2000);
    EXPECT_EQ(frame->CollectConfiguration().WarmupActiveTime, 500);
}

// The window marks red, and lists, the controls that the model's validation
// names (tests/editor), after an edit, a change of the detection method and
// a take-value button; on the gear page the chosen method's panel is shown.
TEST_F(Editors, InvalidValuesAreMarkedAsTheModelValidates)
{
    auto spin = [&](EditorControl control) { return Ctrl<wxSpinCtrl>(frame, BindingOf(control).name); };
    auto* detection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
    ASSERT_TRUE(detection->IsEnabled());
    auto* gear2 = spin(EditorControl::Gear2Voltage);
    auto* gear3 = spin(EditorControl::Gear3Voltage);
    auto* ratio1 = spin(EditorControl::Gear1Ratio);
    gear2->SetValue(2500);
    gear3->SetValue(2500);
    EXPECT_FALSE(frame->ValidateControls());
    ExpectMarksOfTheModel(frame, "two gears at 2500 mV", true);

    // On its page, the chosen method's panel is the one on screen.
    GearPageInFront page(gear2);
    const std::pair<int, const char*> methods[] = {{2, "no method"}, {1, "by ratio"}, {0, "by voltage"}};
    for (const auto& [method, what] : methods) {
        detection->SetSelection(method);
        SendCommand(detection, wxEVT_RADIOBOX, method);
        ExpectMarksOfTheModel(frame, what, method == 0);
        EXPECT_EQ(gear2->IsShownOnScreen(), method == 0) << what;
        EXPECT_EQ(ratio1->IsShownOnScreen(), method == 1) << what;
    }

    gear3->SetValue(3000);
    spin(EditorControl::TpsMin)->SetValue(1500);
    spin(EditorControl::TpsMax)->SetValue(1500);
    EXPECT_FALSE(frame->ValidateControls());
    ExpectMarksOfTheModel(frame, "equal TPS limits", true);
    spin(EditorControl::TpsMax)->SetValue(4300);

    // A take-value button marks at once: gear 3 takes the simulated unit's
    // reading, which gear 2 holds already.
    LiveValues live{};
    ASSERT_EQ(frame->GetDevice()->GetLiveValues(&live), 0);
    gear2->SetValue(static_cast<int>(live.gearVoltage));
    EXPECT_TRUE(frame->ValidateControls());
    SendCommand(Ctrl<wxWindow>(frame, "GEAR_VOLTAGE_BTN_3"), wxEVT_BUTTON);
    EXPECT_EQ(gear3->GetValue(), static_cast<int>(live.gearVoltage));
    ExpectMarksOfTheModel(frame, "gear 3 taken equal to gear 2", true);
}

// An input that takes another's function is the one the rule names to give it
// up (tests/editor); a polarity choice is enabled while its input has a
// function. The two outputs never share a function.
TEST_F(Editors, FunctionsStayUniqueAndEnableTheirPolarity)
{
    auto choice = [&](EditorControl control) { return Ctrl<wxChoice>(frame, BindingOf(control).name); };
    auto choose = [&](EditorControl control, int item) {
        choice(control)->SetSelection(item);
        SendCommand(choice(control), wxEVT_CHOICE, item);
    };
    for (size_t input = 0; input < kInputFunctionControls.size(); ++input)
        choice(kInputFunctionControls[input])->SetSelection(input < 3 ? static_cast<int>(input) + 1 : 0);
    frame->RefreshControls();
    EditorModel model;
    model.Show(frame->CollectConfiguration());
    model.SetValue(EditorControl::Input3Function, 2);
    const int givesUp = InputGivingUpFunction(model.Controls(), 2);
    ASSERT_GE(givesUp, 0) << "input 3 takes a function another input holds";
    choose(EditorControl::Input3Function, 2);
    for (size_t input = 0; input < kInputFunctionControls.size(); ++input) {
        const EditorControl function = kInputFunctionControls[input];
        EXPECT_EQ(choice(function)->GetSelection(),
                  static_cast<int>(input) == givesUp ? 0 : model.Value(function))
            << "input " << input + 1;
        EXPECT_EQ(choice(PolarityOf(function))->IsEnabled(), choice(function)->GetSelection() > 0)
            << "input " << input + 1;
    }
    EXPECT_FALSE(Ctrl<wxWindow>(frame, "ID_STATICTEXT45")->IsEnabled()) << "the label of input 4's polarity";
    choose(EditorControl::Input4Function, 3);
    EXPECT_TRUE(choice(EditorControl::Input4Polarity)->IsEnabled());
    EXPECT_TRUE(Ctrl<wxWindow>(frame, "ID_STATICTEXT45")->IsEnabled());

    choice(EditorControl::Output1)->SetSelection(1);
    choice(EditorControl::Output2)->SetSelection(2);
    choose(EditorControl::Output2, 1);
    EXPECT_EQ(choice(EditorControl::Output1)->GetSelection(), 0);
    EXPECT_EQ(choice(EditorControl::Output2)->GetSelection(), 1);
}
