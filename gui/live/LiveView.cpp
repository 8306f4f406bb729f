#include "gui/live/LiveView.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <optional>
#include <string>

#include "device/DeviceRequests.h"
#include "gui/VantrelBase.h"
#include "gui/live/RawValueRenderer.h"
#include "gui/widgets/ErrorBox.h"
#include "gui/widgets/wxStateLed.h"
#include "session/Connection.h"

namespace {

const wxColour kHighlight(255, 127, 0);

const char* const kRawRowLabels[kRawRows] = {wxTRANSLATE("rpm period"),
                                             wxTRANSLATE("speed period"),
                                             wxTRANSLATE("adc tps"),
                                             wxTRANSLATE("adc gear"),
                                             wxTRANSLATE("adc input1"),
                                             wxTRANSLATE("adc input2"),
                                             wxTRANSLATE("adc input3"),
                                             wxTRANSLATE("adc input4"),
                                             wxTRANSLATE("adc input5"),
                                             wxTRANSLATE("adc input6"),
                                             wxTRANSLATE("bin inputs"),
                                             wxTRANSLATE("bin outputs"),
                                             wxTRANSLATE("gear"),
                                             wxTRANSLATE("power supply"),
                                             wxTRANSLATE("rpm/speed ratio"),
                                             wxTRANSLATE("adc power supply")};

const char* const kLedNames[kLiveLeds] = {"ID_STATELED_IN_SHIFTER",
                                          "ID_STATELED_IN_BLIPPER",
                                          "ID_STATELED_IN_WARMUP",
                                          "ID_STATELED_IN_PIT",
                                          "ID_STATELED_IN_CLUTCH",
                                          "ID_STATELED_IN_DEACTIVATION",
                                          "ID_STATELED_OUT_RPM_LED",
                                          "ID_STATELED_OUT_BLIPPER",
                                          "ID_STATELED_OUT_IGNITION",
                                          "ID_STATELED_OUT_INJECTION",
                                          "ID_STATELED10"};

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

}  // namespace

LiveView::LiveView(const FindControl& find, Connection& connection, wxTimer& warmUpTimer)
    : connection(connection), warmUpTimer(warmUpTimer)
{
    FindControls(find);
}

void LiveView::FindControls(const FindControl& find)
{
    auto gauge = [&](const char* name) { return dynamic_cast<wxGauge*>(find(name)); };
    auto text = [&](const char* name) { return dynamic_cast<wxTextCtrl*>(find(name)); };
    rpmGauge = gauge("ID_GAUGE1");
    throttleGauge = gauge("ID_GAUGE2");
    gearSensorGauge = gauge("ID_GAUGE3");
    speedGauge = gauge("ID_GAUGE4");
    rpmText = text("ID_TEXTCTRL1");
    throttleVoltText = text("ID_TEXTCTRL2");
    inputTexts[0] = text("ID_TEXTCTRL3");
    inputTexts[1] = text("ID_TEXTCTRL4");
    inputTexts[2] = text("ID_TEXTCTRL5");
    gearSensorText = text("ID_TEXTCTRL6");
    throttlePercentText = text("ID_TEXTCTRL7");
    speedText = text("ID_TEXTCTRL8");
    inputTexts[3] = text("ID_TEXTCTRL9");
    inputTexts[4] = text("ID_TEXTCTRL10");
    inputTexts[5] = text("ID_TEXTCTRL11");
    gearCombo = dynamic_cast<wxComboBox*>(find("ID_COMBOBOX1"));
    rawGrid = dynamic_cast<wxGrid*>(find("ID_GRID1"));
    for (size_t led = 0; led < kLiveLeds; ++led) {
        leds[led] = dynamic_cast<wxStateLed*>(find(kLedNames[led]));
    }
    warmUpCheck = dynamic_cast<wxCheckBox*>(find("ID_CHECKBOX1"));
    fftRadio = dynamic_cast<wxRadioBox*>(find("ID_RADIOBOX1"));
    throttleButton = dynamic_cast<wxButton*>(find("ID_BUTTON12"));
}

void LiveView::BindHandlers(wxEvtHandler& frame)
{
    frame.Bind(wxEVT_BUTTON, &LiveView::OnTakeThrottlePosition, this, XRCID("ID_BUTTON12"));
    frame.Bind(wxEVT_CHECKBOX, &LiveView::OnWarmUpChecked, this, XRCID("ID_CHECKBOX1"));
    frame.Bind(wxEVT_RADIOBOX, &LiveView::OnFftSettingSelected, this, XRCID("ID_RADIOBOX1"));
}

void LiveView::SetUpRawGrid()
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
        rawGrid->SetRowLabelValue(row, wxGetTranslation(kRawRowLabels[row]));
        rawGrid->SetCellValue(row, 0, "0");
    }
    rawGrid->SetColLabelValue(0, _("value"));
    rawGrid->SetRowLabelSize(wxGRID_AUTOSIZE);
    // Ten repaints a second: a renderer that does not measure the text, and
    // no erase event for the grid and the windows around it, up to the
    // frame, which each poll's repaint reaches: nothing handles it and the
    // theme draws their background all the same, but each made a device
    // context, which asks the theme for the window's colours and font.
    rawGrid->SetDefaultRenderer(new RawValueRenderer);
    rawGrid->SetDefaultCellOverflow(false);
    for (wxWindow* window = rawGrid; window != nullptr; window = window->GetParent()) {
        if (window->GetBackgroundStyle() == wxBG_STYLE_ERASE) {
            window->SetBackgroundStyle(wxBG_STYLE_SYSTEM);
        }
    }
}

ThrottleCalibration LiveView::Calibration() const
{
    ThrottleCalibration calibration;
    if (editors.tpsMinSpin != nullptr && editors.tpsMaxSpin != nullptr) {
        calibration.closed = editors.tpsMinSpin->GetValue();
        calibration.open = editors.tpsMaxSpin->GetValue();
    } else if (editors.heldCalibration) {
        calibration = editors.heldCalibration();
    }
    return calibration;
}

void LiveView::ShowValues(const LiveValues& values)
{
    if (gearCombo == nullptr) {
        return;  // a window without its layout shows nothing
    }
    int gearDetection = editors.gearDetection != nullptr ? editors.gearDetection->GetSelection() : 0;
    if (editors.gearDetection == nullptr && editors.heldGearDetection) {
        gearDetection = editors.heldGearDetection();
    }
    const LiveReadout readout = MakeLiveReadout(values, Calibration(), gearDetection);

    SetGauge(rpmGauge, readout.rpm);
    SetText(rpmText, readout.rpmText);
    SetGauge(speedGauge, readout.speed);
    SetText(speedText, readout.speedText);
    SetGauge(throttleGauge, readout.throttlePercent);
    SetText(throttleVoltText, readout.throttleVoltText);
    SetText(throttlePercentText, readout.throttlePercentText);
    if (readout.gearSensor.gauge.has_value()) {
        SetGauge(gearSensorGauge, *readout.gearSensor.gauge);
    }
    SetText(gearSensorText, readout.gearSensor.text);

    if (readout.gearItem < static_cast<int>(gearCombo->GetCount()) &&
        gearCombo->GetSelection() != readout.gearItem) {
        gearCombo->SetSelection(readout.gearItem);
    }
    for (size_t input = 0; input < inputTexts.size(); ++input) {
        SetText(inputTexts[input], readout.inputTexts[input]);
    }
    for (size_t led = 0; led < kLiveLeds; ++led) {
        if (leds[led] != nullptr) {
            leds[led]->SetState(readout.leds[led]);
        }
    }
}

void LiveView::ShowRaw(const LiveRaw& raw)
{
    const std::array<bool, kRawRows> highlighted = rawHighlight.Refresh(raw);
    if (rawGrid == nullptr || rawGrid->GetNumberRows() < kRawRows) {
        return;
    }
    const std::array<int, kRawRows> rows = RawRows(raw);
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
        const wxColour colour = highlighted[row] ? kHighlight : plain;
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
}

void LiveView::KeepWarmUp()
{
    if (connection->SetMode(MODE_WARMUP) == 0) {
        return;
    }
    if (warmUpCheck != nullptr) {
        warmUpCheck->SetValue(false);  // no event: the check box handler does not run
    }
    warmUpTimer.Stop();
}

// An FFT page not built yet holds its first item, as a reset leaves it.
int LiveView::FftSelection() const
{
    return fftRadio != nullptr ? fftRadio->GetSelection() : 0;
}

void LiveView::StopWarmUp()
{
    warmUpTimer.Stop();
    if (warmUpCheck != nullptr)
        warmUpCheck->SetValue(false);
}

void LiveView::ResetDeviceActions()
{
    if (fftRadio != nullptr)
        fftRadio->SetSelection(0);
    if (warmUpCheck != nullptr)
        warmUpCheck->SetValue(false);
}

void LiveView::EnableWarmUp(bool enable)
{
    if (warmUpCheck != nullptr)
        warmUpCheck->Enable(enable);
}

void LiveView::OnWarmUpChecked(wxCommandEvent& event)
{
    if (fftRadio != nullptr) {
        fftRadio->SetSelection(0);
    }
    VantrelBase& device = *connection;
    if (event.IsChecked()) {
        if (device.SetMode(MODE_WARMUP) == 0) {
            warmUpTimer.Start();
        } else {
            ShowError(_("Activating Warm-up failed"));
        }
        return;
    }
    if (device.SetMode(MODE_NORMAL) != 0) {
        ShowError(_("Deactivating Warm-up failed"));
    }
    warmUpTimer.Stop();
}

void LiveView::OnFftSettingSelected(wxCommandEvent& event)
{
    if (warmUpCheck != nullptr) {
        warmUpCheck->SetValue(false);
    }
    warmUpTimer.Stop();
    const int selection = event.GetInt();
    if (selection < 0 || connection->SetMode(static_cast<uint16_t>(selection)) != 0) {
        ShowError(_("Setting FFT failed"));
    }
}

void LiveView::OnTakeThrottlePosition(wxCommandEvent& /*event*/)
{
    VantrelBase& device = *connection;
    if (!device.IsOpen()) {
        return;
    }
    LiveValues values;
    if (device.GetLiveValues(&values) != 0) {
        ShowError(_("Data reading error"), _("Error"));
        return;
    }
    const std::optional<int32_t> percent = TakenThrottlePercent(values.tpsVoltage, Calibration());
    if (!percent.has_value() || editors.thresholdSpin == nullptr) {
        return;
    }
    editors.thresholdSpin->SetValue(*percent);
    // Setting the spin sends no change event; the text beside it must follow.
    SetText(editors.thresholdText, wxString::Format("%d", editors.thresholdSpin->GetValue()));
}
