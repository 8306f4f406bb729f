// The configuration editors: controls <-> record, validation, the map grids
// and the small handlers that keep the controls consistent.
#include <algorithm>
#include <array>
#include <climits>
#include <stdexcept>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/numformatter.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>

#include "ErrorBox.h"
#include "GearRpmSpeedPanel.h"
#include "GearVoltagePanel.h"
#include "SpinCtrlStep.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "config/DefaultMaps.h"

namespace {

constexpr int kGridRows = 15;
constexpr int kGridCols = 5;

// The leading decimal integer of a cell text (optional sign, then digits);
// text that does not start with a number gives 0. Saturates at the int range.
int32_t LeadingInteger(const wxString& text)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.length() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.length() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos].GetValue() - '0');
        if (value > INT_MAX)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// A whole text that is a base-10 integer.
bool ParseInteger(const wxString& text, long& value)
{
    return !text.empty() && text.ToLong(&value, 10);
}

// Blipper cells: 0 or 30-220 ms; shifter cells: 0 or 30-150 ms.
bool CellValueAllowed(long value, bool blipper)
{
    return value == 0 || (value >= 30 && value <= (blipper ? 220 : 150));
}

void SetChoice(wxChoice* choice, int selection)
{
    if (selection >= 0 && selection < static_cast<int>(choice->GetCount()))
        choice->SetSelection(selection);
}

// Stepped spins must learn the value as their last settled one.
void SetSpin(wxSpinCtrl* spin, int value)
{
    if (auto* stepped = dynamic_cast<SpinCtrlStep*>(spin))
        stepped->SetValue(value);
    else
        spin->SetValue(value);
}

// The warm-up period (pause + active time) of a record: 0 ... 2000 ms.
constexpr int kMaxWarmUpPeriod = 2000;

// The pause spin takes every pause that makes a valid period with the active
// time beside it: from -active (period 0, shorter than its active part) up to
// 2000 - active. A pause outside the new range is brought into it.
void FitWarmUpPause(wxSpinCtrl* pause, int active)
{
    const int lowest = -active;
    const int highest = kMaxWarmUpPeriod - active;
    const int value = std::clamp(pause->GetValue(), lowest, highest);
    pause->SetRange(lowest, highest);
    SetSpin(pause, value);
}

wxGrid* FindGridOrSpin(wxWindow* window, wxSpinCtrl** spin)
{
    *spin = nullptr;
    for (; window; window = window->GetParent()) {
        if (auto* grid = dynamic_cast<wxGrid*>(window))
            return grid;
        if (auto* found = dynamic_cast<wxSpinCtrl*>(window)) {
            *spin = found;
            return nullptr;
        }
        if (window->IsTopLevel())
            break;
    }
    return nullptr;
}

bool ReadClipboardText(wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    if (!wxTheClipboard->Open())
        return false;
    wxTextDataObject data;
    const bool ok = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data);
    wxTheClipboard->Close();
    if (ok)
        text = data.GetText();
    return ok;
}

void WriteClipboardText(const wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    if (!wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Flush();
    wxTheClipboard->Close();
}

}  // namespace

void VTX_GUIFrame::SetUpMapGrids()
{
    static_assert(kGridCols == kMapRows, "one grid column per gear row of a map");
    for (wxGrid* grid : {blipperGrid, shifterGrid}) {
        const bool blipper = grid == blipperGrid;
        if (!grid->GetTable()) {
            grid->CreateGrid(kGridRows, kGridCols, wxGrid::wxGridSelectCells);
        } else {
            // A layout that already gave the grid cells: bring it to 15 x 5.
            if (grid->GetNumberRows() < kGridRows)
                grid->AppendRows(kGridRows - grid->GetNumberRows());
            if (grid->GetNumberCols() < kGridCols)
                grid->AppendCols(kGridCols - grid->GetNumberCols());
            grid->SetSelectionMode(wxGrid::wxGridSelectCells);
        }
        grid->EnableEditing(true);
        grid->EnableGridLines(true);
        grid->EnableDragGridSize(false);
        grid->EnableDragColSize(false);
        grid->EnableDragRowSize(false);
        for (int row = 0; row < kGridRows; ++row)
            grid->SetRowLabelValue(row, wxNumberFormatter::ToString(
                                            2000L + 1000L * row, wxNumberFormatter::Style_WithThousandsSep));
        for (int col = 0; col < kGridCols; ++col) {
            grid->SetColLabelValue(col, wxString::Format("%d", col + (blipper ? 2 : 1)));
            grid->SetColFormatNumber(col);
            for (int row = 0; row < kGridRows; ++row)
                grid->SetCellValue(
                    row, col,
                    wxString::Format("%d", blipper ? kDefaultBlipTime : kDefaultShifterCutTimes[col]));
        }
        grid->SetRowLabelSize(wxGRID_AUTOSIZE);
        grid->SetColLabelSize(wxGRID_AUTOSIZE);
    }
}

DeviceConfiguration VTX_GUIFrame::CollectConfiguration()
{
    DeviceConfiguration config;
    ClearConfiguration(config);

    static const std::pair<int, int> inputPairs[6] = {{1, 8}, {2, 9}, {3, 10}, {11, 12}, {13, 14}, {15, 16}};
    for (int i = 0; i < 6; ++i) {
        const int function = choices[inputPairs[i].first]->GetSelection();
        const int polarity = choices[inputPairs[i].second]->GetSelection();
        config.*kInputFeatureFields[i] =
            function <= 0 ? 0 : (polarity == 0 ? 2 * function - 1 : 2 * function);
    }
    switch (rpmPulses->GetSelection()) {
        case 0:
            config.PulsesPerTwoRevolutions = 4;
            break;
        case 1:
            config.PulsesPerTwoRevolutions = 2;
            break;
        case 2:
            config.PulsesPerTwoRevolutions = 1;
            break;
        default:
            throw std::runtime_error("Invalid value pulses_per_two_revolutions");
    }

    for (size_t i = 0; i < kGearVoltageFields.size(); ++i)
        config.*kGearVoltageFields[i] = voltagePanel->spins[i]->GetValue();
    for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i)
        config.*kRpmSpeedRatioFields[i] = rpmSpeedPanel->spins[i]->GetValue();
    config.GearDetection = gearDetection->GetSelection();
    config.WheelCircumference = wheelCircumference->GetValue();
    config.NumOfSpeedPulses = speedPulses->GetValue();
    config.OutputFeature1 = choices[4]->GetSelection();
    config.OutputFeature2 = choices[5]->GetSelection();
    config.ShiftLightRPM = spins[1]->GetValue();
    config.DelayBetweenShifting = spins[12]->GetValue();
    config.TPSMinVoltage = spins[17]->GetValue();
    config.TPSMaxVoltage = spins[11]->GetValue();
    config.TPSThresholdVoltage =
        PercentToThreshold(spins[18]->GetValue(), config.TPSMinVoltage, config.TPSMaxVoltage);
    config.DelayBetweenBlipping = spins[13]->GetValue();
    config.WarmupActiveTime = spins[14]->GetValue();
    config.WarmUpPeriod = spins[15]->GetValue() + spins[14]->GetValue();
    config.WarmupMaxRPM = spins[16]->GetValue();
    config.IgnitionMode = choices[6]->GetSelection();
    config.DeltaT = spins[2]->GetValue();
    config.ShiftingMode = choices[17]->GetSelection();

    auto collectMap = [](wxGrid* grid, int32_t(&map)[kMapRows][kMapCells]) {
        for (int col = 0; col < std::min(grid->GetNumberCols(), kMapRows); ++col) {
            map[col][0] = LeadingInteger(grid->GetCellValue(0, col));
            for (int row = 0; row < std::min(grid->GetNumberRows(), kMapCells - 1); ++row)
                map[col][row + 1] = LeadingInteger(grid->GetCellValue(row, col));
        }
    };
    collectMap(blipperGrid, config.BlipperMap);
    collectMap(shifterGrid, config.ShifterMap);
    return config;
}

void VTX_GUIFrame::ShowConfiguration(const DeviceConfiguration& config)
{
    // Checked before anything changes, so that a record that cannot be shown
    // leaves the editors as they were.
    int pulsesItem = 0;
    switch (config.PulsesPerTwoRevolutions) {
        case 4:
            pulsesItem = 0;
            break;
        case 2:
            pulsesItem = 1;
            break;
        case 1:
            pulsesItem = 2;
            break;
        default:
            throw std::runtime_error("Invalid item pulses_per_two_revolutions");
    }

    static const std::pair<int, int> inputPairs[6] = {{1, 8}, {2, 9}, {3, 10}, {11, 12}, {13, 14}, {15, 16}};
    for (int i = 0; i < 6; ++i) {
        const int32_t value = config.*kInputFeatureFields[i];
        SetChoice(choices[inputPairs[i].first], (value + 1) / 2);
        SetChoice(choices[inputPairs[i].second], (value % 2 == 0 && value != 0) ? 1 : 0);
    }
    rpmPulses->SetSelection(pulsesItem);

    for (size_t i = 0; i < kGearVoltageFields.size(); ++i)
        SetSpin(voltagePanel->spins[i], config.*kGearVoltageFields[i]);
    for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i)
        SetSpin(rpmSpeedPanel->spins[i], config.*kRpmSpeedRatioFields[i]);
    if (config.GearDetection >= 0 && config.GearDetection < static_cast<int>(gearDetection->GetCount()))
        gearDetection->SetSelection(config.GearDetection);
    SetSpin(wheelCircumference, config.WheelCircumference);
    SetSpin(speedPulses, config.NumOfSpeedPulses);
    SetChoice(choices[4], config.OutputFeature1);
    SetChoice(choices[5], config.OutputFeature2);
    SetSpin(spins[1], config.ShiftLightRPM);
    SetSpin(spins[12], config.DelayBetweenShifting);
    SetSpin(spins[17], config.TPSMinVoltage);
    SetSpin(spins[11], config.TPSMaxVoltage);
    const int32_t percent =
        ThresholdToPercent(config.TPSThresholdVoltage, config.TPSMinVoltage, config.TPSMaxVoltage);
    SetSpin(spins[18], percent);
    SetSpin(spins[13], config.DelayBetweenBlipping);
    SetSpin(spins[14], config.WarmupActiveTime);
    FitWarmUpPause(spins[15], spins[14]->GetValue());
    SetSpin(spins[15], config.WarmUpPeriod - config.WarmupActiveTime);
    SetSpin(spins[16], config.WarmupMaxRPM);

    auto showMap = [](wxGrid* grid, const int32_t(&map)[kMapRows][kMapCells]) {
        grid->BeginBatch();
        for (int col = 0; col < std::min(grid->GetNumberCols(), kMapRows); ++col) {
            // A row that starts negative is absent in this generation's image.
            if (col > 0 && map[col][0] < 0)
                continue;
            for (int row = 0; row < std::min(grid->GetNumberRows(), kMapCells - 1); ++row)
                grid->SetCellValue(row, col, wxString::Format("%d", map[col][row + 1]));
        }
        grid->EndBatch();
    };
    showMap(blipperGrid, config.BlipperMap);
    showMap(shifterGrid, config.ShifterMap);

    SetChoice(choices[17], config.ShiftingMode);
    SetSpin(spins[2], config.DeltaT);
    SetChoice(choices[6], config.IgnitionMode);
    textCtrls[12]->ChangeValue(wxString::Format("%d", spins[18]->GetValue()));
}

bool VTX_GUIFrame::ShowConfigurationSafely(const DeviceConfiguration& config)
{
    try {
        ShowConfiguration(config);
        return true;
    } catch (const std::exception& error) {
        ShowError(error.what(), "Error");
        return false;
    }
}

bool VTX_GUIFrame::ValidateControls()
{
    invalidControls.clear();

    std::vector<wxSpinCtrl*> gearSpins;
    switch (gearDetection->GetSelection()) {
        case 0:
            gearSpins.assign(voltagePanel->spins.begin(), voltagePanel->spins.end());
            break;
        case 1:
            gearSpins.assign(rpmSpeedPanel->spins.begin(), rpmSpeedPanel->spins.end());
            break;
        default:
            break;
    }
    // Only the active panel's values must differ; the other panel loses its
    // marks so that a switch of the method clears them.
    auto clearMarks = [](auto& spinArray) {
        for (wxSpinCtrl* spin : spinArray) {
            spin->SetBackgroundColour(wxSpinCtrl::GetClassDefaultAttributes().colBg);
            spin->Refresh();
        }
    };
    clearMarks(voltagePanel->spins);
    clearMarks(rpmSpeedPanel->spins);

    std::stable_sort(gearSpins.begin(), gearSpins.end(),
                     [](wxSpinCtrl* a, wxSpinCtrl* b) { return a->GetValue() < b->GetValue(); });
    for (size_t i = 0; i < gearSpins.size(); ++i) {
        const int value = gearSpins[i]->GetValue();
        const bool duplicate = (i > 0 && gearSpins[i - 1]->GetValue() == value) ||
                               (i + 1 < gearSpins.size() && gearSpins[i + 1]->GetValue() == value);
        if (duplicate) {
            gearSpins[i]->SetBackgroundColour(*wxRED);
            invalidControls.push_back(gearSpins[i]);
        }
        gearSpins[i]->Refresh();
    }

    wxSpinCtrl* tpsMin = spins[17];
    wxSpinCtrl* tpsMax = spins[11];
    const bool tpsEqual = tpsMin->GetValue() == tpsMax->GetValue();
    for (wxSpinCtrl* spin : {tpsMin, tpsMax}) {
        spin->SetBackgroundColour(tpsEqual ? *wxRED : wxSpinCtrl::GetClassDefaultAttributes().colBg);
        spin->Refresh();
    }
    if (tpsEqual)
        invalidControls.push_back(tpsMax);
    return invalidControls.empty();
}

void VTX_GUIFrame::ShowGearPanels(int selection)
{
    voltagePanel->Show(selection == 0);
    rpmSpeedPanel->Show(selection == 1);
    voltagePanel->GetParent()->Layout();
}

void VTX_GUIFrame::OnInputFeatureChanged(wxCommandEvent& event)
{
    static const int functionChoices[6] = {1, 2, 3, 11, 13, 15};
    const int selection = event.GetSelection();
    for (int number : functionChoices) {
        wxChoice* other = choices[number];
        if (other->GetId() != event.GetId() && other->GetSelection() == selection) {
            other->SetSelection(0);
            break;
        }
    }
    RefreshControls();
}

void VTX_GUIFrame::OnOutputFeatureChanged(wxCommandEvent& event)
{
    wxChoice* changed = event.GetId() == choices[4]->GetId() ? choices[4] : choices[5];
    wxChoice* other = changed == choices[4] ? choices[5] : choices[4];
    if (other->GetSelection() == changed->GetSelection())
        other->SetSelection(0);
    RefreshControls();
}

void VTX_GUIFrame::OnGearDetectionChanged(wxCommandEvent& /*event*/)
{
    ShowGearPanels(gearDetection->GetSelection());
    // Only the chosen method's values must differ: marks of the other one go.
    ValidateControls();
}

void VTX_GUIFrame::OnValidatingSpinChanged(wxSpinEvent& event)
{
    ValidateControls();
    event.Skip();
}

void VTX_GUIFrame::OnWarmUpActiveTimeChanged(wxSpinEvent& event)
{
    FitWarmUpPause(spins[15], spins[14]->GetValue());
    event.Skip();
}

void VTX_GUIFrame::OnThresholdSpinChanged(wxSpinEvent& event)
{
    textCtrls[12]->ChangeValue(wxString::Format("%d", event.GetPosition()));
    event.Skip();
}

namespace {

// One live read for a take-value button; false (after the message) on failure.
bool ReadLiveOnce(VantrelBase* device, LiveValues& values)
{
    if (device->GetLiveValues(&values) != 0) {
        ShowError(_("Data reading error"), "Error");
        return false;
    }
    return true;
}

// A take-value button of a gear panel: the reading goes into the spin beside
// the pressed button. False when nothing was taken.
template <size_t N>
bool TakeLiveGearValue(VantrelBase* device, const std::array<wxButton*, N>& buttons,
                       const std::array<wxSpinCtrl*, N>& spins, int buttonId, uint32_t LiveValues::*reading)
{
    const auto found = std::find_if(buttons.begin(), buttons.end(),
                                    [&](wxButton* button) { return button && button->GetId() == buttonId; });
    LiveValues values;
    if (found == buttons.end() || !device->IsOpen() || !ReadLiveOnce(device, values))
        return false;
    SetSpin(spins[found - buttons.begin()], static_cast<int>(values.*reading));
    return true;
}

}  // namespace

void VTX_GUIFrame::OnTakeTpsMin(wxCommandEvent& /*event*/)
{
    LiveValues values;
    if (!device->IsOpen() || !ReadLiveOnce(device, values))
        return;
    SetSpin(spins[17], static_cast<int>(values.tpsVoltage));
    ValidateControls();
}

void VTX_GUIFrame::OnTakeTpsMax(wxCommandEvent& /*event*/)
{
    LiveValues values;
    if (!device->IsOpen() || !ReadLiveOnce(device, values))
        return;
    SetSpin(spins[11], static_cast<int>(values.tpsVoltage));
    ValidateControls();
}

// A value equal to another gear's turns red at once.
void VTX_GUIFrame::OnGearVoltageButton(wxCommandEvent& event)
{
    if (TakeLiveGearValue(device, voltagePanel->buttons, voltagePanel->spins, event.GetId(),
                          &LiveValues::gearVoltage))
        ValidateControls();
}

void VTX_GUIFrame::OnGearRpmSpeedButton(wxCommandEvent& event)
{
    if (TakeLiveGearValue(device, rpmSpeedPanel->buttons, rpmSpeedPanel->spins, event.GetId(),
                          &LiveValues::rpmSpeedRatio))
        ValidateControls();
}

void VTX_GUIFrame::OnMapCellChanging(wxGridEvent& event)
{
    long value = 0;
    const bool blipper = event.GetId() == blipperGrid->GetId();
    if (!ParseInteger(event.GetString(), value) || !CellValueAllowed(value, blipper))
        event.Veto();
}

void VTX_GUIFrame::OnCopy(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    if (spin) {
        WriteClipboardText(wxString::Format("%i", spin->GetValue()));
        return;
    }
    if (!grid)
        return;
    wxString text;
    bool firstRow = true;
    for (int row = 0; row < grid->GetNumberRows(); ++row) {
        wxString line;
        bool any = false;
        for (int col = 0; col < grid->GetNumberCols(); ++col) {
            if (!grid->IsInSelection(row, col))
                continue;
            if (any)
                line += '\t';
            line += grid->GetCellValue(row, col);
            any = true;
        }
        if (!any)
            continue;
        if (!firstRow)
            text += "\r\n";
        text += line;
        firstRow = false;
    }
    WriteClipboardText(text);
}

void VTX_GUIFrame::OnPaste(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    wxString text;
    if (spin) {
        long value = 0;
        if (ReadClipboardText(text) && ParseInteger(text.Strip(wxString::both), value) && value >= INT_MIN &&
            value <= INT_MAX) {
            SetSpin(spin, static_cast<int>(value));
            if (spin == spins[18])
                textCtrls[12]->ChangeValue(wxString::Format("%d", spin->GetValue()));
            if (spin == spins[14])
                FitWarmUpPause(spins[15], spin->GetValue());
            ValidateControls();
        }
        return;
    }
    if (!grid || (grid != blipperGrid && grid != shifterGrid) || !grid->IsEditable() ||
        !ReadClipboardText(text))
        return;
    const bool blipper = grid == blipperGrid;
    text.Replace("\r\n", "\n");
    const wxArrayString lines = wxSplit(text, '\n', '\0');
    const int top = grid->GetGridCursorRow();
    const int left = grid->GetGridCursorCol();
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = top + static_cast<int>(i);
        if (row >= grid->GetNumberRows())
            break;
        const wxArrayString fields = wxSplit(lines[i], '\t', '\0');
        for (size_t j = 0; j < fields.size(); ++j) {
            const int col = left + static_cast<int>(j);
            if (col >= grid->GetNumberCols())
                break;
            long value = 0;
            if (!ParseInteger(fields[j], value) || !CellValueAllowed(value, blipper))
                return;
            grid->SetCellValue(row, col, wxString::Format("%ld", value));
        }
    }
}

void VTX_GUIFrame::OnFillDown(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    if (!grid || !grid->IsSelection() || !grid->IsEditable())
        return;
    for (int col = 0; col < grid->GetNumberCols(); ++col) {
        int topRow = -1;
        for (int row = 0; row < grid->GetNumberRows(); ++row) {
            if (!grid->IsInSelection(row, col))
                continue;
            if (topRow < 0)
                topRow = row;
            else
                grid->SetCellValue(row, col, grid->GetCellValue(topRow, col));
        }
    }
}
