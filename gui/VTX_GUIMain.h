// The main window: holds the one connection to a unit (or the simulated unit),
// the notebook with the configuration editors, the live monitor and the gear
// calibration panels, the menu bar, the toolbar and the status bar.
//
// The class is large, so its members are defined in several files:
//   gui/VTX_GUIMain.cpp      construction (look-ups, bindings, settings),
//                            RefreshControls, RebuildToolBar, tablet mode,
//                            About, Quit, FFT page reveal, destruction
//   gui/EditorsView.*        the configuration editors (a class of their own,
//                            owned by the frame): CollectConfiguration,
//                            ShowConfiguration, ValidateControls, map grids,
//                            copy, paste, fill down, consistency handlers and
//                            the take-value buttons; the record arithmetic is
//                            the editor model's (editor/)
//   gui/VTX_GUICommands.cpp  AutoConnect, ConnectToDevice, RefreshDeviceList,
//                            FillConnectionDialog, Read, Write, Lock, New, Open,
//                            Save as, HandleDeviceError, the handlers of
//                            EVT_UNSUPPORTED_DEVICE and EVT_CONNECTING_FAILED
//   gui/VTX_GUILive.cpp      OnLiveTimer, OnWarmUpTimer, ShowLiveValues,
//                            ShowLiveRaw, passed on to the live view
//                            (gui/LiveView.*: the monitor's controls, warm-up
//                            check box, FFT radio box, throttle button)
//   gui/VTX_GUIFirmware.cpp  OfferFirmwareUpdate, OnFirmwareUpdateSelected,
//                            OnFwUpdateDialogClose (with gui/FwUpdateDialog.*)
// Every Bind happens in the constructor (VTX_GUIMain.cpp, EditorsView).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/event.h>
#include <wx/frame.h>
#include <wx/string.h>
#include <wx/timer.h>

#include "config/DeviceConfiguration.h"
#include "device/LiveData.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxFileDialog;
class wxGrid;
class wxGridEvent;
class wxMenuItem;
class wxNotebook;
class wxPanel;
class wxRadioBox;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;
class wxToolBar;
class MyStatusBar;
class EditorsView;
class ConnectionDialog;
class FwUpdateDialog;
class LiveView;
class UsbDeviceList;
class VantrelBase;

// Posted to the main window's own queue; plain command events with id 0.
wxDECLARE_EVENT(EVT_FIRMWARE_UPDATE, wxCommandEvent);
wxDECLARE_EVENT(EVT_UNSUPPORTED_DEVICE, wxCommandEvent);
wxDECLARE_EVENT(EVT_CONNECTING_FAILED, wxCommandEvent);

// Ids of the toolbar tools, reserved once per program run.
struct ToolIds {
    wxWindowID toolbar, newConfig, open, saveAs, read, write, connect;
};
const ToolIds& GetToolIds();

class VTX_GUIFrame : public wxFrame {
public:
    explicit VTX_GUIFrame(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~VTX_GUIFrame() override;

    // Device state -> enabling of commands, LED, grid columns, gear panels.
    void RefreshControls();
    // 16x16 or 32x32 (device-independent); same size as now: nothing happens.
    void RebuildToolBar(const wxSize& size);

    // Editors <-> record (EditorsView). Both throw std::runtime_error
    // for a pulses value the RPM pulses choice cannot hold; callers catch it.
    DeviceConfiguration CollectConfiguration();
    void ShowConfiguration(const DeviceConfiguration& config);
    // Marks duplicate gear values and equal TPS limits red; true when none.
    bool ValidateControls();

    // Device commands (VTX_GUICommands.cpp).
    void AutoConnect();
    void HandleDeviceError(int32_t status);

    // The live view (VTX_GUILive.cpp, gui/LiveView.*). Zeroed records blank it.
    void ShowLiveValues(const LiveValues& values);
    void ShowLiveRaw(const LiveRaw& raw);

    // Firmware offer after a connect (VTX_GUIFirmware.cpp): true when the user
    // accepted (the caller then posts EVT_FIRMWARE_UPDATE).
    bool OfferFirmwareUpdate();

    // False when the layout lacked an object the window needs (they are
    // logged); such a window is only fit to be closed.
    bool IsLayoutComplete() const { return missingControls.empty(); }
    // The About box text, line by line.
    static wxString AboutText();

    // For the test suites and the firmware pieces.
    VantrelBase* GetDevice() const { return device; }
    FwUpdateDialog* GetFwUpdateDialog() const { return fwUpdateDialog; }
    const std::vector<wxWindow*>& GetInvalidControls() const { return invalidControls; }
    bool IsLiveTimerRunning() const { return liveTimer.IsRunning(); }
    int32_t GetDeviceErrorCount() const { return deviceErrorCount; }

    // The folder the Open and Save dialogs start in; empty (the default) lets
    // them start in the working folder. Set when start-up had to move the
    // working folder to where the archives are.
    static void SetFileDialogFolder(const wxString& folder);

private:
    // --- VTX_GUIMain.cpp
    void LookUpControls();
    void BindHandlers();
    void RestoreSettings();
    void SaveSettings();
    // The open and save dialogs, made on first use and kept.
    wxFileDialog* GetOpenDialog();
    wxFileDialog* GetSaveDialog();
    void OnTabletMode(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnFftLabelDoubleClick(wxMouseEvent& event);

    // --- the editors
    // Calls ShowConfiguration and reports a pulses error instead of throwing.
    bool ShowConfigurationSafely(const DeviceConfiguration& config);

    // --- VTX_GUICommands.cpp
    void OnConnect(wxCommandEvent& event);  // ConnectToDevice
    void ConnectToDevice();
    void OnRefreshDeviceList(wxCommandEvent& event);
    void RefreshDeviceList();
    void FillConnectionDialog(UsbDeviceList* list);
    void OnRead(wxCommandEvent& event);
    void ReadFromDevice();
    void OnWrite(wxCommandEvent& event);
    void OnLock(wxCommandEvent& event);
    void OnNew(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnUnsupportedDevice(wxCommandEvent& event);
    void OnConnectingFailed(wxCommandEvent& event);
    // Closes and deletes the connection (if any), then makes the simulated
    // connection, opened, the device object.
    void UseSimulatedConnection();
    // Shows the first invalid control and the refusal message; true if any.
    bool RefuseInvalidSettings();
    bool ConfirmWriting(const wxString& question);

    // --- VTX_GUILive.cpp
    void OnLiveTimer(wxTimerEvent& event);
    void OnWarmUpTimer(wxTimerEvent& event);  // LiveView::KeepWarmUp

    // --- VTX_GUIFirmware.cpp
    void OnFirmwareUpdateSelected(wxCommandEvent& event);  // idFirmwareUpdate, EVT_FIRMWARE_UPDATE
    void OnFwUpdateDialogClose(wxCloseEvent& event);

    // Names of layout objects that were not found.
    std::vector<wxString> missingControls;

    // The connection; never null after construction.
    VantrelBase* device = nullptr;
    wxTimer liveTimer;
    wxTimer warmUpTimer;
    int32_t deviceErrorCount = 0;
    std::vector<wxWindow*> invalidControls;
    wxToolBar* toolBar = nullptr;
    MyStatusBar* statusBar = nullptr;
    ConnectionDialog* connectionDialog = nullptr;  // only during Connect
    UsbDeviceList* deviceList = nullptr;           // only during Connect
    FwUpdateDialog* fwUpdateDialog = nullptr;
    // While the firmware update command runs, a close request of its dialog
    // is only remembered; the command carries it out when it has ended.
    bool firmwareUpdateRunning = false;
    bool firmwareCloseRequested = false;
    int32_t doubleClickCount = 0;  // on ID_STATICTEXT31
    wxFileDialog* openDialog = nullptr;
    wxFileDialog* saveDialog = nullptr;
    static wxString fileDialogFolder;

    // The live monitor; made first thing, so never null.
    std::unique_ptr<LiveView> liveView;
    // The live view's warm-up check box and FFT radio box, which the connect
    // workflows and the firmware update also reach.
    wxCheckBox* warmUpCheck = nullptr;  // ID_CHECKBOX1
    wxRadioBox* fftRadio = nullptr;     // ID_RADIOBOX1
    wxPanel* fftPage = nullptr;         // ID_PNL_FFT

    // The configuration editors; made with the look-ups.
    std::unique_ptr<EditorsView> editors;

    // Pages and labels.
    wxNotebook* notebook = nullptr;          // ID_NOTEBOOK1
    std::array<wxPanel*, 8> panels{};        // index = number of ID_PANEL1 ... ID_PANEL7
    std::array<wxStaticText*, 54> labels{};  // index = number of ID_STATICTEXT1 ... ID_STATICTEXT53

    // Menu items by XRC name.
    wxMenuItem* menuNew = nullptr;
    wxMenuItem* menuOpen = nullptr;
    wxMenuItem* menuSaveAs = nullptr;
    wxMenuItem* menuRead = nullptr;
    wxMenuItem* menuWrite = nullptr;
    wxMenuItem* menuLock = nullptr;
    wxMenuItem* menuFirmwareUpdate = nullptr;
    wxMenuItem* menuConnect = nullptr;
    wxMenuItem* menuTabletMode = nullptr;
    wxMenuItem* menuConfirmWriting = nullptr;
};
