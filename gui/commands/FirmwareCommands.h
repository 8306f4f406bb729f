// The main window's firmware pieces: the offer made right after a unit was
// connected, the firmware update command (with gui/commands/FwUpdateDialog), and
// closing its window. The main window owns one and delegates its bound names
// to it.
#pragma once

#include <functional>

#include <wx/event.h>

#include "gui/FirmwareUpdatePacing.h"

class Connection;
class FwUpdateDialog;
class LivePollTimer;
class LiveView;
class wxWindow;

class FirmwareCommands : public wxEvtHandler {
public:
    struct Wiring {
        wxWindow& window;  // binds the command, parents the dialogs, gets the posted event
        Connection& connection;
        LivePollTimer& poll;
        LiveView& liveView;  // its warm-up keep-alive stops
        // After the update: connect to the unit afresh, then bring the
        // window's enabling up to date.
        std::function<void()> autoConnect;
        std::function<void()> refresh;
        // How the update lets events run and waits (tests count it).
        const UpdatePacing& pacing;
    };
    explicit FirmwareCommands(Wiring wiring);
    FirmwareCommands(const FirmwareCommands&) = delete;
    FirmwareCommands& operator=(const FirmwareCommands&) = delete;

    // Binds the menu item and the posted EVT_FIRMWARE_UPDATE on the frame;
    // once per frame.
    void BindToFrame();

    // True when the user accepted (the caller then posts EVT_FIRMWARE_UPDATE).
    bool OfferFirmwareUpdate();

    FwUpdateDialog* GetFwUpdateDialog() const { return fwUpdateDialog; }

private:
    void OnFirmwareUpdateSelected(wxCommandEvent& event);  // idFirmwareUpdate, EVT_FIRMWARE_UPDATE
    void OnFwUpdateDialogClose(wxCloseEvent& event);

    Wiring wiring;
    wxWindow& frame;
    Connection& connection;
    FwUpdateDialog* fwUpdateDialog = nullptr;
    // While the firmware update command runs, a close request of its dialog
    // is only remembered; the command carries it out when it has ended.
    bool firmwareUpdateRunning = false;
    bool firmwareCloseRequested = false;
};
