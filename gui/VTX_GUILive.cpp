// The live monitor of the main window: the 10 Hz poll of the unit's live
// report, the view that shows it, and the device actions beside it (warm-up
// with its keep-alive, the FFT setting, taking the throttle position).
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/msgdlg.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/translation.h>

#include <algorithm>
#include <array>

#include "EditorsView.h"
#include "ErrorBox.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "device/DeviceRequests.h"
#include "wxStateLed.h"

namespace {

constexpr int kRawRows = 16;
// A changed raw value stays highlighted for this many refreshes (half a
// second at the 10 Hz poll).
constexpr int kHighlightRefreshes = 5;
const wxColour kHighlight(255, 127, 0);

const char* const kRawRowLabels[kRawRows] = {
    "rpm period", "speed period", "adc tps",         "adc gear",        "adc input1", "adc input2",
    "adc input3", "adc input4",   "adc input5",      "adc input6",      "bin inputs", "bin outputs",
    "gear",       "power supply", "rpm/speed ratio", "adc power supply"};

// The grid rows of a raw report: the three 16-bit values little-endian, the
// rest one byte each.
std::array<int, kRawRows> RawRows(const LiveRaw& raw)
{
    std::array<int, kRawRows> rows{};
    rows[0] = raw[0] | (raw[1] << 8);
    rows[1] = raw[2] | (raw[3] << 8);
    for (int row = 2; row <= 13; ++row) {
        rows[row] = raw[row + 2];
    }
    rows[14] = raw[16] | (raw[17] << 8);
    rows[15] = raw[18];
    return rows;
}

// Writes only what changed, so that a steady value costs no repaint.
void SetText(wxTextCtrl* control, const wxString& text)
{
    if (control != nullptr && control->GetValue() != text) {
        control->ChangeValue(text);
    }
}

// A gauge cannot show more than its range; beyond it, it is full.
void SetGauge(wxGauge* gauge, int64_t value)
{
    if (gauge == nullptr) {
        return;
    }
    const int shown = static_cast<int>(std::clamp<int64_t>(value, 0, gauge->GetRange()));
    if (gauge->GetValue() != shown) {
        gauge->SetValue(shown);
    }
}

// Millivolts as volts with one decimal, from the single-precision quotient.
wxString Volts(uint32_t millivolts, const char* format)
{
    const float volts = static_cast<float>(millivolts) / 1000.0f;
    return wxString::Format(format, static_cast<double>(volts));
}

}  // namespace

void VTX_GUIFrame::SetUpLiveGrid()
{
    if (rawGrid == nullptr) {
        return;
    }
    if (rawGrid->GetTable() == nullptr) {
        rawGrid->CreateGrid(kRawRows, 1, wxGrid::wxGridSelectCells);
    }
    rawGrid->EnableEditing(false);
    rawGrid->EnableGridLines(true);
    for (int row = 0; row < kRawRows && row < rawGrid->GetNumberRows(); ++row) {
        rawGrid->SetRowLabelValue(row, kRawRowLabels[row]);
        rawGrid->SetCellValue(row, 0, "0");
    }
    rawGrid->SetColLabelValue(0, "value");
    rawGrid->SetRowLabelSize(wxGRID_AUTOSIZE);
}

void VTX_GUIFrame::OnLiveTimer(wxTimerEvent& /*event*/)
{
    LiveValues values{};
    LiveRaw raw{};
    if (device == nullptr) {
        ShowLiveValues(values);
        ShowLiveRaw(raw);
        liveTimer.Stop();
        return;
    }
    const int32_t status = device->ReadLiveData();
    if (status != 0) {
        // -10 (interrupted) is ignored there; the fourth failure in a row
        // disconnects.
        HandleDeviceError(status);
        return;
    }
    if (deviceErrorCount > 0) {
        --deviceErrorCount;
    }
    device->GetLiveValues(&values);
    device->GetLiveRaw(&raw);
    ShowLiveValues(values);
    ShowLiveRaw(raw);
}

void VTX_GUIFrame::OnWarmUpTimer(wxTimerEvent& /*event*/)
{
    // The unit drops out of warm-up unless it hears the request again.
    if (device != nullptr && device->SetMode(MODE_WARMUP) == 0) {
        return;
    }
    if (warmUpCheck != nullptr) {
        warmUpCheck->SetValue(false);  // no event: the check box handler does not run
    }
    warmUpTimer.Stop();
}

void VTX_GUIFrame::OnWarmUpChecked(wxCommandEvent& event)
{
    if (fftRadio != nullptr) {
        fftRadio->SetSelection(0);
    }
    if (event.IsChecked()) {
        if (device != nullptr && device->SetMode(MODE_WARMUP) == 0) {
            warmUpTimer.Start();
        } else {
            ShowError("Activating Warm-up failed");
        }
        return;
    }
    if (device == nullptr || device->SetMode(MODE_NORMAL) != 0) {
        ShowError("Deactivating Warm-up failed");
    }
    warmUpTimer.Stop();
}

void VTX_GUIFrame::OnFftSettingSelected(wxCommandEvent& event)
{
    if (warmUpCheck != nullptr) {
        warmUpCheck->SetValue(false);
    }
    warmUpTimer.Stop();
    const int selection = event.GetInt();
    if (device == nullptr || selection < 0 || device->SetMode(static_cast<uint16_t>(selection)) != 0) {
        ShowError("Setting FFT failed");
    }
}

void VTX_GUIFrame::OnTakeThrottlePosition(wxCommandEvent& /*event*/)
{
    if (device == nullptr || !device->IsOpen()) {
        return;
    }
    LiveValues values;
    if (device->GetLiveValues(&values) != 0) {
        ShowError(_("Data reading error"), "Error");
        return;
    }
    const int32_t closed = editors->TpsMin();
    const int32_t open = editors->TpsMax();
    // Equal calibration limits give no scale; the setting stays as it is.
    if (open == closed) {
        return;
    }
    const int32_t percent = (static_cast<int32_t>(values.tpsVoltage) - closed) * 100 / (open - closed);
    // Setting the spin sends no change event; the text beside it follows.
    editors->SetThresholdPercent(std::clamp(percent, 1, 99));
}

void VTX_GUIFrame::ShowLiveValues(const LiveValues& values)
{
    if (gearCombo == nullptr) {
        return;  // a window without its layout shows nothing
    }
    const int64_t rpm = (static_cast<int64_t>(values.rpm) + 5) / 10 * 10;
    SetGauge(gauges[1], rpm);
    SetText(textCtrls[1], wxString::Format("%lld", static_cast<long long>(rpm)));

    SetGauge(gauges[4], values.speed);
    SetText(textCtrls[8], wxString::Format("%u", values.speed));

    // Throttle position as a percentage of the calibrated span; above the
    // open limit it goes beyond 100.
    const int64_t tps = values.tpsVoltage;
    int64_t percent = 0;
    if (tps > 5000) {
        percent = 100;
    } else if (tps != 0) {
        const int64_t closed = editors->TpsMin();
        const int64_t range = std::min<int64_t>(editors->TpsMax() - closed, 5000);
        if (range >= 1) {
            percent = std::clamp<int64_t>((tps - closed) * 100, 0, 500000) / range;
        }
    }
    SetGauge(gauges[2], percent);
    SetText(textCtrls[2], Volts(values.tpsVoltage, "%.1f V"));
    SetText(textCtrls[7], wxString::Format("%lld %%", static_cast<long long>(percent)));

    switch (editors != nullptr ? editors->GearDetectionSelection() : 0) {
        case 0:
            SetGauge(gauges[3], values.gearVoltage);
            SetText(textCtrls[6], Volts(values.gearVoltage, "%.1f V"));
            break;
        case 1:
            SetGauge(gauges[3], values.rpmSpeedRatio);
            SetText(textCtrls[6], wxString::Format("%u", values.rpmSpeedRatio));
            break;
        default:
            SetText(textCtrls[6], "---");
            break;
    }

    const int gearItem = static_cast<int>(std::min<uint32_t>(values.gear, 7));
    if (gearItem < static_cast<int>(gearCombo->GetCount()) && gearCombo->GetSelection() != gearItem) {
        gearCombo->SetSelection(gearItem);
    }

    const std::array<std::pair<int, uint32_t>, 6> inputs = {{{3, values.inputVoltage1},
                                                             {4, values.inputVoltage2},
                                                             {5, values.inputVoltage3},
                                                             {9, values.inputVoltage4},
                                                             {10, values.inputVoltage5},
                                                             {11, values.inputVoltage6}}};
    for (const auto& [control, millivolts] : inputs) {
        SetText(textCtrls[control], Volts(millivolts, "%.1f"));
    }

    const std::array<uint32_t, 11> states = {
        values.inputShifter,   values.inputBlipper,      values.inputWarmUp,        values.inputPit,
        values.inputClutch,    values.inputDeactivation, values.outputRpmLed,       values.outputBlipper,
        values.outputIgnition, values.outputInjection,   values.powerFlag ? 1u : 0u};
    for (size_t led = 0; led < states.size(); ++led) {
        if (stateLeds[led] != nullptr) {
            stateLeds[led]->SetState(states[led] != 0 ? 1 : 0);
        }
    }
}

void VTX_GUIFrame::ShowLiveRaw(const LiveRaw& raw)
{
    if (rawGrid == nullptr || rawGrid->GetNumberRows() < kRawRows) {
        lastRaw = raw;
        return;
    }
    const std::array<int, kRawRows> rows = RawRows(raw);
    const std::array<int, kRawRows> shown = RawRows(lastRaw);
    for (int row = 0; row < kRawRows; ++row) {
        if (rows[row] != shown[row]) {
            rawCountdown[row] = kHighlightRefreshes;
        }
    }
    // Every cell is written before the grid paints again (painting happens
    // only once this handler has returned), and only the rows whose text or
    // colour changed are invalidated: BeginBatch/EndBatch would repaint the
    // whole grid, labels included, ten times a second.
    const wxColour plain = rawGrid->GetDefaultCellBackgroundColour();
    int firstChanged = kRawRows;
    int lastChanged = -1;
    for (int row = 0; row < kRawRows; ++row) {
        bool changed = false;
        const wxString text = wxString::Format("%d", rows[row]);
        if (rawGrid->GetCellValue(row, 0) != text) {
            rawGrid->SetCellValue(row, 0, text);
            changed = true;
        }
        const wxColour colour = rawCountdown[row] > 0 ? kHighlight : plain;
        if (rawCountdown[row] > 0) {
            --rawCountdown[row];
        }
        if (rawGrid->GetCellBackgroundColour(row, 0) != colour) {
            rawGrid->SetCellBackgroundColour(row, 0, colour);
            changed = true;
        }
        if (changed) {
            firstChanged = std::min(firstChanged, row);
            lastChanged = std::max(lastChanged, row);
        }
    }
    if (lastChanged >= 0) {
        rawGrid->RefreshBlock(firstChanged, 0, lastChanged, 0);
    }
    lastRaw = raw;
}
