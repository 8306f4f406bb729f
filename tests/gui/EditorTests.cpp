// The configuration editors on the main window: map grid rules, clipboard
// commands, validation marks, consistency handlers and record round trips.
#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "config/DeviceConfiguration.h"

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
class Editors : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = MainWindow();
        defaults = frame->GetDevice()->GetDefaultConfiguration();
        frame->ShowConfiguration(defaults);
        frame->RefreshControls();
        frame->ValidateControls();
    }
    VTX_GUIFrame* frame = nullptr;
    DeviceConfiguration defaults{};
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

wxString GetClipboard()
{
    wxTheClipboard->UsePrimarySelection(false);
    wxString text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data))
            text = data.GetText();
        wxTheClipboard->Close();
    }
    return text;
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

TEST_F(Editors, GridLayout)
{
    for (wxGrid* grid : {Blipper(), Shifter()}) {
        EXPECT_EQ(grid->GetNumberRows(), 15);
        EXPECT_EQ(grid->GetNumberCols(), 5);
        // 2000 ... 16000 rpm, with or without the locale's thousands separator.
        wxString first = grid->GetRowLabelValue(0), last = grid->GetRowLabelValue(14);
        first.Replace(",", "");
        first.Replace(".", "");
        last.Replace(",", "");
        last.Replace(".", "");
        EXPECT_EQ(first, "2000");
        EXPECT_EQ(last, "16000");
    }
    EXPECT_EQ(Blipper()->GetColLabelValue(0), "2");
    EXPECT_EQ(Blipper()->GetColLabelValue(4), "6");
    EXPECT_EQ(Shifter()->GetColLabelValue(0), "1");
    EXPECT_EQ(Shifter()->GetColLabelValue(4), "5");
}

TEST_F(Editors, CellRuleVetoesOutOfRangeValues)
{
    struct Case {
        wxGrid* grid;
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {
        {Blipper(), "25", false},  {Blipper(), "0", true},    {Blipper(), "30", true},
        {Blipper(), "220", true},  {Blipper(), "221", false}, {Shifter(), "150", true},
        {Shifter(), "151", false}, {Shifter(), "29", false},
    };
    for (const Case& c : cases) {
        const wxString before = c.grid->GetCellValue(3, 1);
        TypeIntoCell(c.grid, 3, 1, c.typed);
        EXPECT_EQ(c.grid->GetCellValue(3, 1), c.accepted ? wxString(c.typed) : before)
            << (c.grid == Blipper() ? "blipper " : "shifter ") << c.typed;
        c.grid->SetCellValue(3, 1, before);
    }
}

TEST_F(Editors, CopyOfATwoByTwoSelection)
{
    wxGrid* grid = Shifter();
    grid->SetCellValue(2, 1, "31");
    grid->SetCellValue(2, 2, "32");
    grid->SetCellValue(3, 1, "41");
    grid->SetCellValue(3, 2, "42");
    grid->SetFocus();
    grid->SetGridCursor(2, 1);
    grid->SelectBlock(2, 1, 3, 2);
    RunMenuCommand(frame, "idCopy");
    EXPECT_EQ(GetClipboard(), "31\t32\r\n41\t42");
}

TEST_F(Editors, PasteStopsAtTheFirstBadField)
{
    wxGrid* grid = Shifter();
    const wxString below = grid->GetCellValue(5, 2);
    SetClipboard("60\t70\r\n200");
    grid->SetFocus();
    grid->ClearSelection();
    grid->SetGridCursor(4, 2);
    RunMenuCommand(frame, "idPaste");
    EXPECT_EQ(grid->GetCellValue(4, 2), "60");
    EXPECT_EQ(grid->GetCellValue(4, 3), "70");
    EXPECT_EQ(grid->GetCellValue(5, 2), below);

    // Fields past the grid's edge are ignored, not refused.
    SetClipboard("40\t41\t42");
    grid->SetGridCursor(0, 3);
    RunMenuCommand(frame, "idPaste");
    EXPECT_EQ(grid->GetCellValue(0, 3), "40");
    EXPECT_EQ(grid->GetCellValue(0, 4), "41");
}

TEST_F(Editors, FillDownCopiesTheTopCellOfEachColumn)
{
    wxGrid* grid = Blipper();
    grid->SetCellValue(6, 0, "111");
    grid->SetCellValue(6, 1, "122");
    grid->SetCellValue(9, 0, "80");
    grid->SetFocus();
    grid->SelectBlock(6, 0, 9, 1);
    RunMenuCommand(frame, "idFillDown");
    for (int row = 6; row <= 9; ++row) {
        EXPECT_EQ(grid->GetCellValue(row, 0), "111") << row;
        EXPECT_EQ(grid->GetCellValue(row, 1), "122") << row;
    }
    EXPECT_EQ(grid->GetCellValue(10, 0), "80");
    EXPECT_EQ(grid->GetCellValue(5, 0), "80");
}

TEST_F(Editors, CollectReadsLeadingIntegersAndDuplicatesTheFirstCell)
{
    Blipper()->SetCellValue(0, 2, "95");
    Blipper()->SetCellValue(4, 2, "abc");
    Blipper()->SetCellValue(5, 2, "123xyz");
    const DeviceConfiguration collected = frame->CollectConfiguration();
    EXPECT_EQ(collected.BlipperMap[2][0], 95);
    EXPECT_EQ(collected.BlipperMap[2][1], 95);
    EXPECT_EQ(collected.BlipperMap[2][5], 0);
    EXPECT_EQ(collected.BlipperMap[2][6], 123);
    for (int row = 0; row < kMapRows; ++row) {
        EXPECT_EQ(collected.BlipperMap[row][0], collected.BlipperMap[row][1]);
        EXPECT_EQ(collected.ShifterMap[row][0], collected.ShifterMap[row][1]);
    }
}

TEST_F(Editors, ShowAndCollectInputFeatureAndThreshold)
{
    DeviceConfiguration config = defaults;
    config.InputFeature3 = 7;  // function 4, polarity 0
    config.InputFeature2 = 4;  // function 2, polarity 1
    config.InputFeature4 = 0;
    config.InputFeature5 = 0;
    config.InputFeature6 = 0;
    config.TPSMinVoltage = 700;
    config.TPSMaxVoltage = 4300;
    config.TPSThresholdVoltage = 1060;
    frame->ShowConfiguration(config);
    EXPECT_EQ(Ctrl<wxChoice>(frame, "ID_CHOICE3")->GetSelection(), 4);
    EXPECT_EQ(Ctrl<wxChoice>(frame, "ID_CHOICE10")->GetSelection(), 0);
    EXPECT_EQ(Ctrl<wxChoice>(frame, "ID_CHOICE2")->GetSelection(), 2);
    EXPECT_EQ(Ctrl<wxChoice>(frame, "ID_CHOICE9")->GetSelection(), 1);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL18")->GetValue(), 10);
    EXPECT_EQ(Ctrl<wxTextCtrl>(frame, "ID_TEXTCTRL12")->GetValue(), "10");
    const DeviceConfiguration collected = frame->CollectConfiguration();
    EXPECT_EQ(collected.InputFeature3, 7);
    EXPECT_EQ(collected.InputFeature2, 4);
    EXPECT_EQ(collected.TPSThresholdVoltage, 1060);
}

TEST_F(Editors, AbsentMapRowKeepsTheGridColumn)
{
    Blipper()->SetCellValue(7, 3, "99");
    DeviceConfiguration config = defaults;
    for (int cell = 0; cell < kMapCells; ++cell)
        config.BlipperMap[3][cell] = -1;
    frame->ShowConfiguration(config);
    EXPECT_EQ(Blipper()->GetCellValue(7, 3), "99");
    EXPECT_EQ(Blipper()->GetCellValue(7, 2), wxString::Format("%d", defaults.BlipperMap[2][8]));
}

TEST_F(Editors, RoundTripOfEveryGenerationsDefaults)
{
    for (DefaultsFamily family :
         {DefaultsFamily::Base, DefaultsFamily::Gen103, DefaultsFamily::Gen107, DefaultsFamily::Gen108}) {
        const DeviceConfiguration original = MakeDefaultConfiguration(family);
        frame->ShowConfiguration(original);
        DeviceConfiguration collected = frame->CollectConfiguration();
        DeviceConfiguration expected = original;
        if (family == DefaultsFamily::Base || family == DefaultsFamily::Gen103) {
            // These generations have no speed sensor: their record holds 0,
            // which the spins (1-32 pulses, 1000-3000 mm) cannot show.
            EXPECT_EQ(original.NumOfSpeedPulses, 0);
            EXPECT_EQ(original.WheelCircumference, 0);
            expected.NumOfSpeedPulses = 1;
            expected.WheelCircumference = 1000;
        }
        EXPECT_TRUE(collected == expected) << "family " << static_cast<int>(family);
    }
}

TEST_F(Editors, PulsesOutsideTheChoiceAreReportedNotFatal)
{
    DeviceConfiguration config = defaults;
    config.PulsesPerTwoRevolutions = 3;
    config.ShiftLightRPM = 4200;
    EXPECT_THROW(frame->ShowConfiguration(config), std::runtime_error);
    // Nothing of the record reached the editors.
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), defaults.ShiftLightRPM);
}

TEST_F(Editors, DuplicateGearVoltagesAreMarkedUntilTheMethodChanges)
{
    auto* detection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
    ASSERT_TRUE(detection->IsEnabled());
    auto* gear2 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_2");
    auto* gear3 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_3");
    gear2->SetValue(2500);
    gear3->SetValue(2500);
    EXPECT_FALSE(frame->ValidateControls());
    EXPECT_EQ(gear2->GetBackgroundColour(), *wxRED);
    EXPECT_EQ(gear3->GetBackgroundColour(), *wxRED);
    ASSERT_EQ(frame->GetInvalidControls().size(), 2u);
    EXPECT_EQ(frame->GetInvalidControls()[0], gear2);

    // On its page, the chosen method's panel is the one on screen.
    GearPageInFront page(gear2);
    auto* ratio1 = Ctrl<wxSpinCtrl>(frame, "GEAR_RPMSPEED_SPN_1");
    EXPECT_TRUE(gear2->IsShownOnScreen());
    EXPECT_FALSE(ratio1->IsShownOnScreen());

    detection->SetSelection(2);
    SendCommand(detection, wxEVT_RADIOBOX, 2);
    EXPECT_TRUE(frame->GetInvalidControls().empty());
    EXPECT_NE(gear2->GetBackgroundColour(), *wxRED);
    EXPECT_NE(gear3->GetBackgroundColour(), *wxRED);
    EXPECT_FALSE(gear2->IsShownOnScreen());
    EXPECT_FALSE(ratio1->IsShownOnScreen());

    detection->SetSelection(1);
    SendCommand(detection, wxEVT_RADIOBOX, 1);
    EXPECT_FALSE(gear2->IsShownOnScreen());
    EXPECT_TRUE(ratio1->IsShownOnScreen());
}

TEST_F(Editors, EqualTpsLimitsMarkBothAndListTheMaximum)
{
    auto* minimum = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL17");
    auto* maximum = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL11");
    minimum->SetValue(1500);
    maximum->SetValue(1500);
    EXPECT_FALSE(frame->ValidateControls());
    EXPECT_EQ(minimum->GetBackgroundColour(), *wxRED);
    EXPECT_EQ(maximum->GetBackgroundColour(), *wxRED);
    ASSERT_EQ(frame->GetInvalidControls().size(), 1u);
    EXPECT_EQ(frame->GetInvalidControls()[0], maximum);
}

TEST_F(Editors, InputAndOutputFunctionsStayUnique)
{
    auto* input1 = Ctrl<wxChoice>(frame, "ID_CHOICE1");
    auto* input2 = Ctrl<wxChoice>(frame, "ID_CHOICE2");
    auto* input3 = Ctrl<wxChoice>(frame, "ID_CHOICE3");
    input1->SetSelection(1);
    input2->SetSelection(2);
    input3->SetSelection(3);
    // Input 3 takes input 2's function: input 2 loses it.
    input3->SetSelection(2);
    SendCommand(input3, wxEVT_CHOICE, 2);
    EXPECT_EQ(input2->GetSelection(), 0);
    EXPECT_EQ(input1->GetSelection(), 1);
    EXPECT_FALSE(Ctrl<wxChoice>(frame, "ID_CHOICE9")->IsEnabled());

    auto* output1 = Ctrl<wxChoice>(frame, "ID_CHOICE4");
    auto* output2 = Ctrl<wxChoice>(frame, "ID_CHOICE5");
    output1->SetSelection(1);
    output2->SetSelection(2);
    output2->SetSelection(1);
    SendCommand(output2, wxEVT_CHOICE, 1);
    EXPECT_EQ(output1->GetSelection(), 0);
    EXPECT_EQ(output2->GetSelection(), 1);
}

TEST_F(Editors, TakeValueButtonsCopyTheSimulatedUnitsReading)
{
    // The simulated unit reads 0 everywhere.
    auto* gear3 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_3");
    gear3->SetValue(3300);
    wxWindow* button = Ctrl<wxWindow>(frame, "GEAR_VOLTAGE_BTN_3");
    SendCommand(button, wxEVT_BUTTON);
    EXPECT_EQ(gear3->GetValue(), 0);
}
