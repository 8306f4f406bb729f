// The main window's firmware pieces: the offer made right after a unit was
// connected, the firmware update command (with gui/commands/FwUpdateDialog), and
// closing its window. The frame owns one and delegates its bound names to it.
#pragma once

#include <wx/event.h>

class Connection;
class FwUpdateDialog;
class VTX_GUIFrame;

class FirmwareCommands : public wxEvtHandler {
public:
    FirmwareCommands(VTX_GUIFrame& frame, Connection& connection);
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

    VTX_GUIFrame& frame;
    Connection& connection;
    FwUpdateDialog* fwUpdateDialog = nullptr;
    // While the firmware update command runs, a close request of its dialog
    // is only remembered; the command carries it out when it has ended.
    bool firmwareUpdateRunning = false;
    bool firmwareCloseRequested = false;
};
