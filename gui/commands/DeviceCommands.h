// The main window's commands that talk to the unit or to settings files:
// Connect and the automatic connect at launch, Read, Write, Lock, New, Open,
// Save as, the disconnect after repeated failures, and the two messages
// posted by the connect flows (EVT_UNSUPPORTED_DEVICE, EVT_CONNECTING_FAILED).
// The main window owns one and delegates its bound names to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <wx/event.h>
#include <wx/string.h>

#include "device/LiveData.h"

class Connection;
class ConnectionDialog;
class EditorContent;
class LivePollTimer;
class LiveView;
class UsbDeviceList;
class wxFileDialog;
class wxWindow;

class DeviceCommands : public wxEvtHandler {
public:
    struct Wiring {
        wxWindow& window;  // binds the commands, parents the dialogs, gets the posted events
        Connection& connection;
        EditorContent& editors;
        LivePollTimer& poll;
        LiveView& liveView;  // its FFT choice is the unit's mode
        // A live report into the view and the maps (zeroed records blank them).
        std::function<void(const LiveValues&, const LiveRaw&)> showLive;
        // The window's enabling after the connection changed.
        std::function<void()> refresh;
        // The offer of a firmware update after a connect: true when accepted.
        std::function<bool()> offerFirmware;
        // Whether Write and Lock ask first (Options menu).
        std::function<bool()> confirmWriting;
    };
    explicit DeviceCommands(Wiring wiring);
    ~DeviceCommands() override;
    DeviceCommands(const DeviceCommands&) = delete;
    DeviceCommands& operator=(const DeviceCommands&) = delete;

    // Binds the menu items, tools and posted events of these commands on the
    // frame; once per frame.
    void BindToFrame();

    // The one unit attached, if there is exactly one, replaces the
    // connection: offer a firmware update, or read its configuration and
    // start the live poll. Without a unit the simulated connection stays and
    // the controls are left as they are.
    void AutoConnect();
    // The user picks a unit in the connection dialog.
    void ConnectToDevice();
    // A poll's status: 0 forgives one earlier failure, -10 is ignored, and
    // the fourth failure in a row falls back to the simulated connection.
    void HandleDeviceError(int32_t status);
    // The fourth failure in a row: the simulated connection takes over, the
    // live view is blanked and its poll stops.
    void GiveUpTheUnit();
    // Replaces the connection with the opened simulated one.
    void UseSimulatedConnection();

    // The folder the Open and Save dialogs start in; empty lets them start in
    // the working folder.
    static void SetFileDialogFolder(const wxString& folder);

private:
    void OnConnect(wxCommandEvent& event);
    void OnRefreshDeviceList(wxCommandEvent& event);
    void RefreshDeviceList();
    void FillConnectionDialog(UsbDeviceList* list);
    void OnRead(wxCommandEvent& event);
    // The configuration read replaces the editors' content as one undo step
    // named `stepName`.
    void ReadFromDevice(const wxString& stepName);
    void OnWrite(wxCommandEvent& event);
    void OnLock(wxCommandEvent& event);
    void OnNew(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnUnsupportedDevice(wxCommandEvent& event);
    void OnConnectingFailed(wxCommandEvent& event);
    // Shows the first invalid control and the refusal message; true if any.
    bool RefuseInvalidSettings();
    bool ConfirmWriting(const wxString& question);
    // The open and save dialogs, made on first use and kept: the native
    // chooser costs a tenth of a second each, which start-up need not pay.
    wxFileDialog* GetOpenDialog();
    wxFileDialog* GetSaveDialog();

    Wiring wiring;
    wxWindow& frame;
    Connection& connection;
    EditorContent& editors;
    ConnectionDialog* connectionDialog = nullptr;  // only during Connect
    std::unique_ptr<UsbDeviceList> deviceList;     // only during Connect
    wxFileDialog* openDialog = nullptr;
    wxFileDialog* saveDialog = nullptr;
};
