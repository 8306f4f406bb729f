// The configuration editors on the main window: the cell rule's veto, clipboard
// commands, validation marks, consistency handlers and record round trips. The
// rules themselves are tested without a display (tests/editor).
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/fileconf.h>
#include <wx/grid.h>
#include <wx/mstream.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "config/DeviceConfiguration.h"
#include "config/SettingsKeys.h"
#include "editor/EditorModel.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/widgets/SpinCtrlStep.h"

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
    EXPECT_EQ(ClipboardText(), "31\t32\r\n41\t42");
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

namespace {

using C = DeviceConfiguration;

// What a record may hold in its single fields: the ranges a settings file
// accepts. The TPS limits, the pulses, the maps and the warm-up time are tied
// to each other or to other fields and get cases of their own.
struct FieldRange {
    const char* name;
    ConfigField field;
    int32_t min;
    int32_t max;
};
const FieldRange kFieldRanges[] = {
    {"GearNVoltage", &C::GearNVoltage, 0, 5000},
    {"Gear1Voltage", &C::Gear1Voltage, 0, 5000},
    {"Gear2Voltage", &C::Gear2Voltage, 0, 5000},
    {"Gear3Voltage", &C::Gear3Voltage, 0, 5000},
    {"Gear4Voltage", &C::Gear4Voltage, 0, 5000},
    {"Gear5Voltage", &C::Gear5Voltage, 0, 5000},
    {"Gear6Voltage", &C::Gear6Voltage, 0, 5000},
    {"InputFeature1", &C::InputFeature1, 0, 12},
    {"InputFeature2", &C::InputFeature2, 0, 12},
    {"InputFeature3", &C::InputFeature3, 0, 12},
    {"InputFeature4", &C::InputFeature4, 0, 12},
    {"InputFeature5", &C::InputFeature5, 0, 12},
    {"InputFeature6", &C::InputFeature6, 0, 12},
    {"OutputFeature1", &C::OutputFeature1, 0, 3},
    {"OutputFeature2", &C::OutputFeature2, 0, 3},
    {"ShiftLightRPM", &C::ShiftLightRPM, 1000, 16000},
    {"WarmupMaxRPM", &C::WarmupMaxRPM, 500, 16000},
    {"DelayBetweenShifting", &C::DelayBetweenShifting, 0, 500},
    {"DelayBetweenBlipping", &C::DelayBetweenBlipping, 0, 500},
    {"WarmUpPeriod", &C::WarmUpPeriod, 0, 2000},
    {"WarmupActiveTime", &C::WarmupActiveTime, 0, 500},
    {"ShiftingMode", &C::ShiftingMode, 0, 2},
    {"DeltaT", &C::DeltaT, 1, 10},
    {"IgnitionMode", &C::IgnitionMode, 0, 3},
    {"GearDetection", &C::GearDetection, 0, 2},
    {"NumOfSpeedPulses", &C::NumOfSpeedPulses, 1, 32},
    {"WheelCircumference", &C::WheelCircumference, 1000, 3000},
    {"Gear1RpmSpeedRatio", &C::Gear1RpmSpeedRatio, 0, 1500},
    {"Gear2RpmSpeedRatio", &C::Gear2RpmSpeedRatio, 0, 1500},
    {"Gear3RpmSpeedRatio", &C::Gear3RpmSpeedRatio, 0, 1500},
    {"Gear4RpmSpeedRatio", &C::Gear4RpmSpeedRatio, 0, 1500},
    {"Gear5RpmSpeedRatio", &C::Gear5RpmSpeedRatio, 0, 1500},
    {"Gear6RpmSpeedRatio", &C::Gear6RpmSpeedRatio, 0, 1500},
};
constexpr int32_t kBlipperCellMax = 220;
constexpr int32_t kShifterCellMax = 150;
constexpr int32_t kCellMin = 30;  // besides 0

struct RecordCase {
    std::string name;
    DeviceConfiguration config;
};

// Valid records at the ends of every range. The base leaves room for any one
// field to go to either end without colliding with another (distinct gear
// values, free input codes, both outputs off).
std::vector<RecordCase> RecordsAtTheLimits()
{
    DeviceConfiguration base = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    for (size_t i = 0; i < kGearVoltageFields.size(); ++i)
        base.*kGearVoltageFields[i] = 1000 + 500 * static_cast<int32_t>(i);
    for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i)
        base.*kRpmSpeedRatioFields[i] = 100 + 100 * static_cast<int32_t>(i);
    base.OutputFeature1 = 0;
    base.OutputFeature2 = 0;

    std::vector<RecordCase> cases;
    auto add = [&](const std::string& name, const std::function<void(C&)>& change) {
        DeviceConfiguration config = base;
        change(config);
        cases.push_back({name, config});
    };
    // Both ends, and one off each end: a value no step of a stepped spin reaches.
    for (const FieldRange& range : kFieldRanges)
        for (int32_t value : {range.min, range.min + 1, range.max - 1, range.max})
            add(std::string(range.name) + " " + std::to_string(value), [&](C& c) { c.*range.field = value; });
    for (int32_t period : {0, 2000})
        for (int32_t active : {0, 500})
            add("warm-up " + std::to_string(period) + "/" + std::to_string(active), [&](C& c) {
                c.WarmUpPeriod = period;
                c.WarmupActiveTime = active;
            });
    // TPS limits at and near the ends; spans of whole hundreds, so that every
    // percentage is an exact threshold.
    const std::pair<int32_t, int32_t> tpsLimits[] = {
        {0, 5000}, {0, 100}, {4900, 5000}, {1, 4901}, {2450, 2550}};
    for (const auto& [min, max] : tpsLimits)
        for (int32_t percent : {1, 50, 99})
            add("TPS " + std::to_string(min) + "-" + std::to_string(max) + " " + std::to_string(percent) +
                    "%",
                [&](C& c) {
                    c.TPSMinVoltage = min;
                    c.TPSMaxVoltage = max;
                    c.TPSThresholdVoltage = min + (max - min) / 100 * percent;
                });
    for (int32_t pulses : {1, 2, 4})
        add("pulses " + std::to_string(pulses), [&](C& c) { c.PulsesPerTwoRevolutions = pulses; });
    // The editors have no 1000 rpm cell: a record they can hold repeats the
    // 2000 rpm value there.
    auto fillMaps = [&](const std::string& name, const std::function<int32_t(int, int, int32_t)>& cell) {
        add(name, [&](C& c) {
            for (int row = 0; row < kMapRows; ++row) {
                for (int at = 1; at < kMapCells; ++at) {
                    c.BlipperMap[row][at] = cell(row, at, kBlipperCellMax);
                    c.ShifterMap[row][at] = cell(row, at, kShifterCellMax);
                }
                c.BlipperMap[row][0] = c.BlipperMap[row][1];
                c.ShifterMap[row][0] = c.ShifterMap[row][1];
            }
        });
    };
    fillMaps("map cells 0, 30 and the top", [](int row, int at, int32_t top) {
        const int32_t values[] = {0, kCellMin, top};
        return values[(row + at) % 3];
    });
    fillMaps("map cells each its own", [](int row, int at, int32_t) { return kCellMin + 16 * row + at; });
    return cases;
}

// The record is one a settings file gives back as it is: a valid record.
bool LoadsFromAFileUnchanged(const DeviceConfiguration& config)
{
    wxMemoryInputStream nothing("", 0);
    std::unique_ptr<wxFileConfig> store = ReadSettingsStream(nothing);
    SaveSettingsKeys(*store, config, SettingsKeySet::Extended);
    DeviceConfiguration loaded;
    ClearConfiguration(loaded);
    return LoadSettingsKeys(*store, loaded, SettingsKeySet::Extended) == 0 && loaded == config;
}

std::string Differences(const DeviceConfiguration& expected, const DeviceConfiguration& actual)
{
    const auto want = std::bit_cast<std::array<int32_t, sizeof(C) / sizeof(int32_t)>>(expected);
    const auto got = std::bit_cast<std::array<int32_t, sizeof(C) / sizeof(int32_t)>>(actual);
    std::string text;
    for (size_t i = 0; i < want.size(); ++i)
        if (want[i] != got[i])
            text += " field " + std::to_string(i) + ": " + std::to_string(want[i]) + " became " +
                    std::to_string(got[i]) + ";";
    return text;
}

}  // namespace

TEST_F(Editors, EveryValidRecordComesBackUnchanged)
{
    for (const RecordCase& c : RecordsAtTheLimits()) {
        ASSERT_TRUE(LoadsFromAFileUnchanged(c.config)) << c.name << " is no valid record";
        frame->ShowConfiguration(c.config);
        frame->RefreshControls();
        frame->ValidateControls();
        const DeviceConfiguration collected = frame->CollectConfiguration();
        EXPECT_TRUE(collected == c.config) << c.name << ":" << Differences(c.config, collected);
        EXPECT_EQ(Ctrl<wxTextCtrl>(frame, "ID_TEXTCTRL12")->GetValue(),
                  wxString::Format("%d", Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL18")->GetValue()))
            << c.name;
        // The model without a window holds the record as the window does.
        EditorModel model;
        model.Show(c.config);
        EXPECT_TRUE(model.Collect() == collected) << c.name << ":" << Differences(collected, model.Collect());
    }
}

// The binding table and the layout agree on every control: its kind, its
// items or range and its step.
TEST_F(Editors, BindingTableMatchesTheLayout)
{
    for (const ControlBinding& binding : kEditorBindings) {
        wxWindow* control = frame->FindWindow(XRCID(binding.name));
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
