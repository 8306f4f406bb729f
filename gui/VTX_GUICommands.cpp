// The main window's command flows that talk to the unit or to settings files.
#include <functional>
#include <memory>
#include <stdexcept>

#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/radiobox.h>
#include <wx/utils.h>

#include "ConnectionDialog.h"
#include "ErrorBox.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "config/SettingsKeys.h"
#include "device/DeviceRequests.h"
#include "device/Features.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

namespace {

// What a user who may not open the unit's USB device node needs to know.
const char* const kAccessDeniedHint =
    "This user may not open the unit. Install the USB rule that comes with VantrelStudio "
    "(70-vantrel.rules, part of the package), reload the rules with "
    "\"sudo udevadm control --reload\", then unplug the unit and plug it in again. "
    "See \"USB permission denied\" under Troubleshooting in the README.";

void Post(wxEvtHandler* target, wxEventType type, int detail = 0)
{
    auto* event = new wxCommandEvent(type, 0);
    event->SetInt(detail);
    wxQueueEvent(target, event);
}

// The purely visual steps after a successful device call.
void AdvanceProgress(wxProgressDialog& progress, int first)
{
    for (int value = first; value <= 90; value += 10) {
        progress.Update(value, wxEmptyString);
        wxMilliSleep(20);
    }
}

// Write and Lock: one device call under its progress dialog. A failure closes
// the dialog before its message; a success runs the visual steps from 0.
void RunUnderProgress(wxWindow* parent, const wxString& title, const wxString& message,
                      const std::function<int32_t()>& command, const wxString& failure)
{
    auto progress =
        std::make_unique<wxProgressDialog>(title, message, 100, parent, wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    if (command() != 0) {
        progress.reset();
        ShowError(failure);
        return;
    }
    AdvanceProgress(*progress, 0);
}

const DeviceIdFilter kConnectFilter = {{UNIT_VENDOR_ID, UNIT_PRODUCT_ID},
                                       {UNIT_VENDOR_ID, CORVELLO_PRODUCT_ID}};

}  // namespace

void VTX_GUIFrame::UseSimulatedConnection()
{
    if (device) {
        device->Close();
        delete device;
    }
    device = new VantrelBase();
    device->Open();
}

void VTX_GUIFrame::AutoConnect()
{
    if (device) {
        liveTimer.Stop();
        device->Close();
        delete device;
        device = nullptr;
    }
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
    if (!list || list->GetCount() != 1) {
        UseSimulatedConnection();
        return;
    }
    try {
        device = new VantrelBase(*list->GetFirst());
    } catch (const std::exception&) {
        // A unit announcing neither personality cannot be used.
        device = nullptr;
        Post(this, EVT_CONNECTING_FAILED);
    }
    if (!device || !device->Open()) {
        // A failed automatic connect stays silent, except when this user may
        // not open the unit at all: then nothing would ever tell them why.
        if (device && device->GetLastError() == USB_ERROR_ACCESS) {
            Post(this, EVT_CONNECTING_FAILED, USB_ERROR_ACCESS);
        }
        delete device;
        device = nullptr;
        UseSimulatedConnection();
    } else {
        if (OfferFirmwareUpdate()) {
            Post(this, EVT_FIRMWARE_UPDATE);
            return;
        }
        if (device->GetDeviceMode() == 0) {
            DeviceConfiguration config;
            ClearConfiguration(config);
            if (device->ReadConfiguration(&config) == 0) {
                ShowConfigurationSafely(config);
                device->SetMode(static_cast<uint16_t>(fftRadio->GetSelection()));
                liveTimer.Start();
            } else {
                ShowError("Configuration reading failed");
            }
        }
        deviceErrorCount = 0;
    }
    RefreshControls();
}

void VTX_GUIFrame::OnConnect(wxCommandEvent& /*event*/)
{
    ConnectToDevice();
}

void VTX_GUIFrame::ConnectToDevice()
{
    deviceList = EnumerateDevices(kConnectFilter);
    connectionDialog = new ConnectionDialog(this, wxID_ANY);
    FillConnectionDialog(deviceList);
    bool updateAccepted = false;

    if (connectionDialog->ShowModal() == wxID_OK) {
        UsbDevice* chosen = deviceList ? deviceList->GetAt(connectionDialog->GetSelectedIndex()) : nullptr;
        if (!chosen) {
            // Nothing selected: nothing to do.
        } else if (chosen->vendorId != UNIT_VENDOR_ID || chosen->productId != UNIT_PRODUCT_ID) {
            Post(this, EVT_UNSUPPORTED_DEVICE);
        } else {
            if (device && FormatUsbPath(chosen->busNumber, chosen->portNumber, chosen->deviceAddress) !=
                              device->GetPath()) {
                liveTimer.Stop();
                device->Close();
                delete device;
                device = nullptr;
            }
            bool opened = true;
            if (!device) {
                try {
                    device = new VantrelBase(*chosen);
                } catch (const std::exception&) {
                    device = nullptr;
                }
                if (!device || !device->Open()) {
                    // Only the one message: the simulated connection takes
                    // over at once instead of an unopened unit that every
                    // following step (read, polling) would fail on.
                    const int openError = device ? device->GetLastError() : 0;
                    delete device;
                    device = nullptr;
                    opened = false;
                    Post(this, EVT_CONNECTING_FAILED, openError);
                }
            }
            if (opened) {
                if (OfferFirmwareUpdate()) {
                    Post(this, EVT_FIRMWARE_UPDATE);
                    updateAccepted = true;
                } else {
                    if (device->GetDeviceMode() == 0) {
                        ReadFromDevice();
                        device->SetMode(static_cast<uint16_t>(fftRadio->GetSelection()));
                        liveTimer.Start();
                    }
                    deviceErrorCount = 0;
                }
            }
        }
    }

    if (!device)
        UseSimulatedConnection();
    connectionDialog->Destroy();
    connectionDialog = nullptr;
    delete deviceList;
    deviceList = nullptr;
    if (!updateAccepted)
        RefreshControls();
}

void VTX_GUIFrame::OnRefreshDeviceList(wxCommandEvent& /*event*/)
{
    RefreshDeviceList();
}

void VTX_GUIFrame::RefreshDeviceList()
{
    if (!connectionDialog)
        return;
    UsbDeviceList* fresh = EnumerateDevices(kConnectFilter);
    delete deviceList;
    deviceList = fresh;
    FillConnectionDialog(deviceList);
}

void VTX_GUIFrame::FillConnectionDialog(UsbDeviceList* list)
{
    if (!connectionDialog)
        return;
    connectionDialog->ClearDeviceList();
    if (!list)
        return;
    long index = 0;
    for (UsbDevice* entry = list->GetFirst(); entry; entry = list->GetNext(), ++index) {
        const uint8_t mode = entry->deviceSubClass == 1 ? DEVICE_MODE_BOOTLOADER : DEVICE_MODE_APPLICATION;
        connectionDialog->AddDevice(
            wxString::FromUTF8(entry->productName), wxString::FromUTF8(entry->serialNumber),
            FormatVersionText(entry->version, mode),
            FormatUsbPath(entry->busNumber, entry->portNumber, entry->deviceAddress), index);
    }
}

void VTX_GUIFrame::OnRead(wxCommandEvent& /*event*/)
{
    ReadFromDevice();
}

void VTX_GUIFrame::ReadFromDevice()
{
    wxBusyCursor busy;
    DeviceConfiguration config;
    ClearConfiguration(config);
    auto progress = std::make_unique<wxProgressDialog>("Reading", "Wait until the data is read from a device",
                                                       100, this, wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    if (device->GetFeature(FEATURE_LOCK) > 0) {
        uint8_t lockState = 0;
        if (device->GetLockState(&lockState) != 0) {
            progress.reset();
            ShowError("Configuration reading failed");
            return;
        }
        if (lockState != 0) {
            progress.reset();
            ShowError("Configuration is locked");
            return;
        }
    }
    if (device->ReadConfiguration(&config) != 0) {
        progress.reset();
        ShowError("Configuration reading failed");
        return;
    }
    AdvanceProgress(*progress, 10);
    ShowConfigurationSafely(config);
    RefreshControls();
    ValidateControls();
}

bool VTX_GUIFrame::RefuseInvalidSettings()
{
    if (invalidControls.empty())
        return false;
    invalidControls.front()->SetFocus();
    ShowError(_("Invallid settings, please check it first"), "Error");
    return true;
}

bool VTX_GUIFrame::ConfirmWriting(const wxString& question)
{
    wxMessageDialog dialog(this, question, "Confirmation",
                           wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION | wxCENTRE);
    return dialog.ShowModal() == wxID_YES;
}

void VTX_GUIFrame::OnWrite(wxCommandEvent& /*event*/)
{
    wxBusyCursor busy;
    ValidateControls();
    if (RefuseInvalidSettings())
        return;
    if (menuConfirmWriting->IsChecked() &&
        !ConfirmWriting(_("Do you really want to write configuration into device?")))
        return;
    DeviceConfiguration config;
    try {
        config = CollectConfiguration();
    } catch (const std::exception& error) {
        ShowError(error.what(), "Error");
        return;
    }
    RunUnderProgress(
        this, "Writing", "Wait until the data is written into a device",
        [&] { return device->WriteConfiguration(config); }, "Configuration writing failed");
}

void VTX_GUIFrame::OnLock(wxCommandEvent& /*event*/)
{
    wxBusyCursor busy;
    if (device->GetFeature(FEATURE_LOCK) <= 0) {
        ShowError("Locking is not supported");
        return;
    }
    if (menuConfirmWriting->IsChecked() &&
        !ConfirmWriting(_("Do you really want to lock the configuration?")))
        return;
    RunUnderProgress(
        this, "Locking", "Wait until the data is locked in the device",
        [&] { return device->SetLockState(LOCK_LOCKED); }, "Locking configuration failed");
}

void VTX_GUIFrame::OnNew(wxCommandEvent& /*event*/)
{
    // A unit in its bootloader has no generation and so no defaults; the
    // command is disabled then, and refused here should it arrive anyway.
    if (device->GetDeviceMode() != 0)
        return;
    wxBusyCursor busy;
    ShowConfigurationSafely(device->GetDefaultConfiguration());
    RefreshControls();
}

void VTX_GUIFrame::HandleDeviceError(int32_t status)
{
    if (status == 0) {
        if (deviceErrorCount > 0)
            --deviceErrorCount;
        return;
    }
    if (status == -10)  // an interrupted transfer says nothing about the unit
        return;
    if (deviceErrorCount < 3) {
        ++deviceErrorCount;
        return;
    }
    UseSimulatedConnection();
    ShowLiveValues(LiveValues{});
    ShowLiveRaw(LiveRaw{});
    liveTimer.Stop();
    RefreshControls();
}

void VTX_GUIFrame::OnOpen(wxCommandEvent& /*event*/)
{
    wxFileDialog* openDialog = GetOpenDialog();
    if (openDialog->ShowModal() != wxID_OK || openDialog->GetPath().empty())
        return;
    wxBusyCursor busy;
    DeviceConfiguration config;
    ClearConfiguration(config);
    // A file that is no settings file would load as nothing but fallbacks.
    std::unique_ptr<wxFileConfig> store = OpenSettingsFileToLoad(openDialog->GetPath());
    if (store && device->LoadSettings(*store, config) == 0) {
        if (ShowConfigurationSafely(config))
            RefreshControls();
    } else {
        ShowError("Loading failed", "Error");
    }
}

void VTX_GUIFrame::OnSaveAs(wxCommandEvent& /*event*/)
{
    {
        wxBusyCursor busy;
        ValidateControls();
        if (RefuseInvalidSettings())
            return;
    }
    // An empty path would make the store fall back to a default file.
    wxFileDialog* saveDialog = GetSaveDialog();
    if (saveDialog->ShowModal() != wxID_OK || saveDialog->GetPath().empty())
        return;
    wxBusyCursor busy;
    DeviceConfiguration config;
    try {
        config = CollectConfiguration();
    } catch (const std::exception& error) {
        ShowError(error.what(), "Error");
        return;
    }
    std::unique_ptr<wxFileConfig> store = OpenSettingsFile(saveDialog->GetPath());
    if (!store) {
        ShowError("Saving failed", "Error");
        return;
    }
    WriteAppVersion(*store);
    if (device->SaveSettings(*store, config) != 0)
        ShowError("Saving failed", "Error");
    store.reset();  // writes the file
}

void VTX_GUIFrame::OnUnsupportedDevice(wxCommandEvent& /*event*/)
{
    wxMessageDialog dialog(this,
                           _("This device is not supported by this application. Please run the \"Corvello\" "
                             "application dedicated for this product."),
                           _("Unsupported device"), wxOK | wxICON_ERROR | wxCENTRE);
    dialog.ShowModal();
}

void VTX_GUIFrame::OnConnectingFailed(wxCommandEvent& event)
{
    wxMessageDialog dialog(this, _("Connecting to device failed, try it again, please."),
                           _("Connecting failed"), wxOK | wxICON_ERROR | wxCENTRE);
    if (event.GetInt() == USB_ERROR_ACCESS) {
        dialog.SetExtendedMessage(kAccessDeniedHint);
    }
    dialog.ShowModal();
}
