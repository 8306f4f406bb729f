#include "gui/commands/FirmwareCommands.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <wx/checkbox.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "device/VersionTriple.h"
#include "fwimages/FwFile.h"
#include "gui/MainWindowEvents.h"
#include "gui/VantrelBase.h"
#include "gui/commands/FwUpdateDialog.h"
#include "gui/commands/UpdateEventGate.h"
#include "gui/live/LivePollTimer.h"
#include "gui/live/LiveView.h"
#include "session/Connection.h"
#include "session/FirmwareOffer.h"
#include "session/UserSettings.h"
#include "usb/UsbVantrel.h"

namespace {

constexpr int kProgressRange = 100;

}  // namespace

FirmwareCommands::FirmwareCommands(Wiring wiring)
    : wiring(std::move(wiring)), frame(this->wiring.window), connection(this->wiring.connection)
{
}

void FirmwareCommands::BindToFrame()
{
    frame.Bind(wxEVT_MENU, &FirmwareCommands::OnFirmwareUpdateSelected, this, XRCID("idFirmwareUpdate"));
    frame.Bind(EVT_FIRMWARE_UPDATE, &FirmwareCommands::OnFirmwareUpdateSelected, this);
}

bool FirmwareCommands::OfferFirmwareUpdate()
{
    UserSettings settings;
    FwFile image{};
    const FirmwareOffer offer = OfferFirmwareTo(*connection, settings, image);
    if (offer != FirmwareOffer::Ask) {
        return offer == FirmwareOffer::WithoutAsking;
    }

    wxMessageDialog question(
        &frame,
        _("A new firmware version is available for the connected device. Do you want to update "
          "to the latest firmware version?"),
        _("Firmware update"), wxYES_NO | wxICON_INFORMATION | wxCENTRE);
    question.SetExtendedMessage(
        _("NOTE: Update to the latest firmware version is strongly recommended. New features/improvements "
          "may not be "
          "available without this firmware update"));
    if (question.ShowModal() == wxID_YES) {
        return true;
    }
    settings.WriteRefusedFirmwareVersion(connection->GetSerialNumber(), static_cast<long>(image.version));
    settings.Flush();
    return false;
}

void FirmwareCommands::OnFirmwareUpdateSelected(wxCommandEvent& /*event*/)
{
    // The window of an earlier run is still open (every other window is
    // disabled meanwhile, so only a second posted offer gets here).
    if (fwUpdateDialog != nullptr) {
        fwUpdateDialog->Raise();
        return;
    }
    wiring.poll.Stop();
    // The unit leaves its application; a warm-up keep-alive would only fail.
    wiring.liveView.StopWarmUp();

    fwUpdateDialog = new FwUpdateDialog(_("Firmware update"), wxEmptyString, kProgressRange, &frame);
    fwUpdateDialog->Bind(wxEVT_CLOSE_WINDOW, &FirmwareCommands::OnFwUpdateDialogClose, this);
    fwUpdateDialog->Show();

    // The procedure lets events run while it waits; a close request of the
    // dialog among them must not take the dialog or the device away from
    // under it, so it is held until the command has ended. The main window's
    // commands, timer ticks and close requests are turned away meanwhile.
    firmwareUpdateRunning = true;
    const auto gate =
        std::make_unique<UpdateEventGate>(frame, wiring.poll.PollTimer(), wiring.poll.WarmUpTimer());
    bool succeeded = false;
    bool ended = false;
    VersionTriple boot;
    VersionTriple firmware;
    int32_t result = connection->GetBootVersion(&boot);
    if (result < 0) {
        wxLogError(_("It's not possible to read information about hardware, error: %d."),
                   static_cast<int>(result));
    } else {
        wxLogMessage(_("Current boot version: %04x.%04x.%04x."), static_cast<unsigned>(boot.w0),
                     static_cast<unsigned>(boot.w1), static_cast<unsigned>(boot.w2));
        result = connection->GetFirmwareVersion(&firmware);
        if (result < 0) {
            wxLogError(_("It's not possible to read information about hardware, error: %d."),
                       static_cast<int>(result));
        }
    }
    if (result >= 0) {
        if (HoldsApplication(firmware)) {
            wxLogMessage(_("Current firmware version: %04x.%04x.%04x."), static_cast<unsigned>(firmware.w0),
                         static_cast<unsigned>(firmware.w1), static_cast<unsigned>(firmware.w2));
        } else {
            wxLogWarning(_("The firmware is missing."));
        }
        FwFile image{};
        if (!FindFirmwareImage(boot, image)) {
            wxLogWarning(_("No update available."));
            fwUpdateDialog->SetProgress(kProgressRange, wxEmptyString);
            ended = true;
        } else if (HoldsApplication(firmware) && firmware.w2 >= image.version) {
            wxLogWarning(_("Firmware is up to date."));
            fwUpdateDialog->SetProgress(kProgressRange, wxEmptyString);
            ended = true;
        } else {
            succeeded = connection->UpdateFirmware(image, wiring.pacing) == 0;
        }
    }

    if (!ended && succeeded) {
        fwUpdateDialog->SetProgress(kProgressRange, wxEmptyString);
        wxLogMessage(_("Firmware update finished successfully."));
        // The unit comes back as a new device: connect to it afresh.
        wiring.autoConnect();
        wiring.refresh();
    } else if (!ended) {
        wxLogError(_("Firmware update failed!"));
        fwUpdateDialog->SetProgress(kProgressRange, wxEmptyString);
        connection.ReplaceWithSimulated();
        wiring.refresh();
    }

    firmwareUpdateRunning = false;
    if (firmwareCloseRequested) {
        firmwareCloseRequested = false;
        wxCloseEvent close(wxEVT_CLOSE_WINDOW, fwUpdateDialog->GetId());
        close.SetEventObject(fwUpdateDialog);
        OnFwUpdateDialogClose(close);
    }
}

void FirmwareCommands::OnFwUpdateDialogClose(wxCloseEvent& event)
{
    if (firmwareUpdateRunning) {
        firmwareCloseRequested = true;
        if (event.CanVeto()) {
            event.Veto();
        }
        return;
    }
    if (fwUpdateDialog == nullptr) {
        return;
    }
    // Destroy() gives the log target back at once; the window itself goes
    // when the event loop is idle, after this handler has returned.
    fwUpdateDialog->Destroy();
    fwUpdateDialog = nullptr;
    wiring.autoConnect();
    // Without a unit AutoConnect leaves the controls as they were; they
    // would still show the unit that was just updated.
    wiring.refresh();
}
