// The live monitor page of the main window: the gauges, fields, gear
// indicator, LEDs and raw grid, which show the readout of the unit's live
// report (editor/LiveReadout.h), and the device actions beside them: the
// warm-up check box with its keep-alive, the FFT setting and the throttle
// button. The frame owns the view, polls the unit and holds the two timers.
#pragma once

#include <array>
#include <functional>

#include <wx/string.h>

#include "device/LiveData.h"
#include "editor/LiveReadout.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxCommandEvent;
class wxEvtHandler;
class wxGauge;
class wxGrid;
class wxRadioBox;
class wxSpinCtrl;
class wxStateLed;
class wxTextCtrl;
class wxTimer;
class wxWindow;
class Connection;
class VantrelBase;

class LiveView {
public:
    // Finds a layout object by name (and records it when it is missing).
    using FindControl = std::function<wxWindow*(const wxString& name)>;
    // The window's connection at the time of asking; there always is one.

    // Finds the monitor's controls. The warm-up timer sends its events to the
    // frame, which passes them to KeepWarmUp.
    LiveView(const FindControl& find, Connection& connection, wxTimer& warmUpTimer);
    // Finds the controls again, once the pages holding them are built; a
    // control whose page is not built is null and shows nothing.
    void FindControls(const FindControl& find);

    // The editors' controls the view reads, and the throttle button writes.
    struct EditorControls {
        wxSpinCtrl* tpsMinSpin = nullptr;     // ID_SPINCTRL17, closed throttle
        wxSpinCtrl* tpsMaxSpin = nullptr;     // ID_SPINCTRL11, open throttle
        wxSpinCtrl* thresholdSpin = nullptr;  // ID_SPINCTRL18
        wxTextCtrl* thresholdText = nullptr;  // ID_TEXTCTRL12, beside it
        wxRadioBox* gearDetection = nullptr;  // ID_RBOX_GEAR_DETECTION
        // What the throttle limits and the gear detection hold while their
        // pages are not built (their controls are then null).
        std::function<ThrottleCalibration()> heldCalibration;
        std::function<int()> heldGearDetection;
    };
    void UseEditorControls(const EditorControls& controls) { editors = controls; }

    // The handlers of the warm-up check box, the FFT radio box and the
    // throttle button, bound on the frame by their ids.
    void BindHandlers(wxEvtHandler& frame);
    // ID_GRID1: 16 rows, 1 column, the row labels, not editable.
    void SetUpRawGrid();

    // Zeroed records blank the view.
    void ShowValues(const LiveValues& values);
    void ShowRaw(const LiveRaw& raw);

    // Every 100 ms while warm-up is on: the unit drops out of warm-up unless
    // it hears the request again.
    void KeepWarmUp();
    // No unit in its application: FFT item 0, warm-up unticked (without
    // running their handlers).
    void ResetDeviceActions();
    void EnableWarmUp(bool enable);

    // The FFT setting chosen, which a unit is put into after it is read.
    int FftSelection() const;
    // Stops the warm-up keep-alive and unticks its check box (no event).
    void StopWarmUp();

private:
    void OnWarmUpChecked(wxCommandEvent& event);         // ID_CHECKBOX1
    void OnFftSettingSelected(wxCommandEvent& event);    // ID_RADIOBOX1
    void OnTakeThrottlePosition(wxCommandEvent& event);  // ID_BUTTON12
    ThrottleCalibration Calibration() const;

    Connection& connection;
    wxTimer& warmUpTimer;
    EditorControls editors;
    RawHighlight rawHighlight;

    wxGauge* rpmGauge = nullptr;                // ID_GAUGE1
    wxGauge* throttleGauge = nullptr;           // ID_GAUGE2
    wxGauge* gearSensorGauge = nullptr;         // ID_GAUGE3
    wxGauge* speedGauge = nullptr;              // ID_GAUGE4
    wxTextCtrl* rpmText = nullptr;              // ID_TEXTCTRL1
    wxTextCtrl* throttleVoltText = nullptr;     // ID_TEXTCTRL2
    wxTextCtrl* gearSensorText = nullptr;       // ID_TEXTCTRL6
    wxTextCtrl* throttlePercentText = nullptr;  // ID_TEXTCTRL7
    wxTextCtrl* speedText = nullptr;            // ID_TEXTCTRL8
    // Inputs 1 to 6: ID_TEXTCTRL3, 4, 5, 9, 10, 11.
    std::array<wxTextCtrl*, 6> inputTexts{};
    wxComboBox* gearCombo = nullptr;  // ID_COMBOBOX1
    wxGrid* rawGrid = nullptr;        // ID_GRID1
    // In the order of LedStates (editor/LiveReadout.h).
    std::array<wxStateLed*, kLiveLeds> leds{};
    wxCheckBox* warmUpCheck = nullptr;   // ID_CHECKBOX1
    wxRadioBox* fftRadio = nullptr;      // ID_RADIOBOX1
    wxButton* throttleButton = nullptr;  // ID_BUTTON12
};
