#include "gui/commands/DeviceCommands.h"

#include <functional>
#include <optional>
#include <stdexcept>

#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/radiobox.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "config/SettingsKeys.h"
#include "device/DeviceRequests.h"
#include "device/Features.h"
#include "gui/MainWindowEvents.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/editors/EditorContent.h"
#include "gui/editors/EditorsView.h"
#include "gui/live/LivePollTimer.h"
#include "gui/live/LiveView.h"
#include "gui/widgets/ErrorBox.h"
#include "session/Connection.h"
#include "session/EditorSession.h"
#include "session/FailureLog.h"
#include "session/LivePoll.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

namespace {

// What a user who may not open the unit's USB device node needs to know.
const char* const kAccessDeniedHint = wxTRANSLATE(
    "This user may not open the unit. Install the USB rule that comes with VantrelStudio "
    "(70-vantrel.rules, part of the package), reload the rules with "
    "\"sudo udevadm control --reload\", then unplug the unit and plug it in again. "
    "See \"USB permission denied\" under Troubleshooting in the README.");

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
// True on success.
bool RunUnderProgress(wxWindow* parent, const wxString& title, const wxString& message,
                      const std::function<int32_t()>& command, const wxString& failure)
{
    auto progress =
        std::make_unique<wxProgressDialog>(title, message, 100, parent, wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    if (command() != 0) {
        progress.reset();
        ShowError(failure);
        return false;
    }
    AdvanceProgress(*progress, 0);
    return true;
}

// The Connect dialog lists the unit and its sibling product (which it refuses).
UsbDeviceList* EnumerateConnectable()
{
    return EnumerateDevices({{UNIT_VENDOR_ID, UNIT_PRODUCT_ID}, {UNIT_VENDOR_ID, CORVELLO_PRODUCT_ID}});
}

// Where the Open and Save dialogs start; empty: the working folder.
wxString& FileDialogFolder()
{
    static wxString folder;
    return folder;
}

}  // namespace

DeviceCommands::DeviceCommands(Wiring wiring)
    : wiring(std::move(wiring)),
      frame(this->wiring.window),
      connection(this->wiring.connection),
      editors(this->wiring.editors)
{
}

DeviceCommands::~DeviceCommands() = default;

void DeviceCommands::BindToFrame()
{
    const ToolIds& tools = GetToolIds();
    // Menu items and tools share their handlers. Every id is bound once, so a
    // rebuilt toolbar never adds a second binding.
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnNew, this, XRCID("idNew"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnNew, this, tools.newConfig);
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnOpen, this, XRCID("idOpen"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnOpen, this, tools.open);
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnSaveAs, this, XRCID("idSaveAs"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnSaveAs, this, tools.saveAs);
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnRead, this, XRCID("idReadConfiguration"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnRead, this, tools.read);
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnWrite, this, XRCID("idWriteConfiguration"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnWrite, this, tools.write);
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnLock, this, XRCID("idLockConfiguration"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnConnect, this, XRCID("idConnect"));
    frame.Bind(wxEVT_MENU, &DeviceCommands::OnConnect, this, tools.connect);
    // The connection dialog's refresh button reaches the frame by propagation.
    frame.Bind(wxEVT_BUTTON, &DeviceCommands::OnRefreshDeviceList, this, XRCID("ID_BTN_REFRESH"));
    frame.Bind(EVT_UNSUPPORTED_DEVICE, &DeviceCommands::OnUnsupportedDevice, this);
    frame.Bind(EVT_CONNECTING_FAILED, &DeviceCommands::OnConnectingFailed, this);
}

void DeviceCommands::UseSimulatedConnection()
{
    connection.ReplaceWithSimulated();
}

void DeviceCommands::AutoConnect()
{
    wiring.poll.Stop();
    // The list outlives the connection's opening: the record refers into it.
    std::unique_ptr<UsbDeviceList> list;
    // The read configuration replaces the editors' content: one undo step.
    std::optional<DeviceConfiguration> read;
    const ConnectResult result = connection.Replace([&list]() -> std::unique_ptr<VantrelBase> {
        list.reset(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
        if (!list || list->GetCount() != 1)
            return nullptr;
        return std::make_unique<VantrelBase>(*list->GetFirst());
    });
    switch (result.outcome) {
        case ConnectOutcome::NoDevice:
            return;
        case ConnectOutcome::NotBuilt:
            // A unit announcing neither personality cannot be used.
            Post(&frame, EVT_CONNECTING_FAILED);
            break;
        case ConnectOutcome::NotOpened:
            // A failed automatic connect stays silent, except when this user
            // may not open the unit at all: then nothing would ever tell them why.
            if (result.openError == USB_ERROR_ACCESS)
                Post(&frame, EVT_CONNECTING_FAILED, USB_ERROR_ACCESS);
            break;
        case ConnectOutcome::Opened:
            if (wiring.offerFirmware()) {
                Post(&frame, EVT_FIRMWARE_UPDATE);
                return;
            }
            if (connection->GetDeviceMode() == 0) {
                DeviceConfiguration config;
                ClearConfiguration(config);
                if (connection->ReadConfiguration(&config) == 0) {
                    read = config;
                    connection->SetMode(static_cast<uint16_t>(wiring.liveView.FftSelection()));
                    wiring.poll.Start();
                } else {
                    ShowError(_("Configuration reading failed"));
                }
            }
            wiring.poll.Errors().Reset();
            break;
    }
    if (!read) {
        wiring.refresh();
        return;
    }
    editors.Replace(*read, _("Connect"), UnitSource(*connection));
    editors.Session().KeptFromUnit(*read, "connect");
}

void DeviceCommands::OnConnect(wxCommandEvent& /*event*/)
{
    ConnectToDevice();
}

void DeviceCommands::ConnectToDevice()
{
    deviceList.reset(EnumerateConnectable());
    connectionDialog = new ConnectionDialog(&frame, wxID_ANY);
    FillConnectionDialog(deviceList.get());
    bool updateAccepted = false;

    if (connectionDialog->ShowModal() == wxID_OK) {
        UsbDevice* chosen = deviceList ? deviceList->GetAt(connectionDialog->GetSelectedIndex()) : nullptr;
        if (!chosen) {
            // Nothing selected: nothing to do.
        } else if (chosen->vendorId != UNIT_VENDOR_ID || chosen->productId != UNIT_PRODUCT_ID) {
            Post(&frame, EVT_UNSUPPORTED_DEVICE);
        } else {
            bool opened = true;
            if (FormatUsbPath(chosen->busNumber, chosen->portNumber, chosen->deviceAddress) !=
                connection->GetPath()) {
                wiring.poll.Stop();
                // Only the one message when it fails: the simulated connection
                // takes over at once instead of an unopened unit that every
                // following step (read, polling) would fail on.
                const ConnectResult result = connection.ReplaceWith(*chosen);
                if (result.outcome != ConnectOutcome::Opened) {
                    opened = false;
                    Post(&frame, EVT_CONNECTING_FAILED, result.openError);
                }
            }
            if (opened) {
                if (wiring.offerFirmware()) {
                    Post(&frame, EVT_FIRMWARE_UPDATE);
                    updateAccepted = true;
                } else {
                    if (connection->GetDeviceMode() == 0) {
                        ReadFromDevice(_("Connect"));
                        connection->SetMode(static_cast<uint16_t>(wiring.liveView.FftSelection()));
                        wiring.poll.Start();
                    }
                    wiring.poll.Errors().Reset();
                }
            }
        }
    }

    connectionDialog->Destroy();
    connectionDialog = nullptr;
    deviceList.reset();
    if (!updateAccepted)
        wiring.refresh();
}

void DeviceCommands::OnRefreshDeviceList(wxCommandEvent& /*event*/)
{
    RefreshDeviceList();
}

void DeviceCommands::RefreshDeviceList()
{
    if (!connectionDialog)
        return;
    deviceList.reset(EnumerateConnectable());
    FillConnectionDialog(deviceList.get());
}

void DeviceCommands::FillConnectionDialog(UsbDeviceList* list)
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

void DeviceCommands::OnRead(wxCommandEvent& /*event*/)
{
    ReadFromDevice(_("Read"));
}

void DeviceCommands::ReadFromDevice(const wxString& stepName)
{
    wxBusyCursor busy;
    DeviceConfiguration config;
    ClearConfiguration(config);
    auto progress =
        std::make_unique<wxProgressDialog>(_("Reading"), _("Wait until the data is read from a device"), 100,
                                           &frame, wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    if (connection->GetFeature(FEATURE_LOCK) > 0) {
        uint8_t lockState = 0;
        if (connection->GetLockState(&lockState) != 0) {
            progress.reset();
            ShowError(_("Configuration reading failed"));
            return;
        }
        if (lockState != 0) {
            progress.reset();
            ShowError(_("Configuration is locked"));
            return;
        }
    }
    if (connection->ReadConfiguration(&config) != 0) {
        progress.reset();
        ShowError(_("Configuration reading failed"));
        return;
    }
    AdvanceProgress(*progress, 10);
    editors.Replace(config, stepName, UnitSource(*connection));
    editors.Session().KeptFromUnit(config, "read");
}

bool DeviceCommands::RefuseInvalidSettings()
{
    if (editors.View().InvalidControls().empty())
        return false;
    editors.View().FocusFirstInvalid();
    ShowError(_("Invallid settings, please check it first"), _("Error"));
    return true;
}

bool DeviceCommands::ConfirmWriting(const wxString& question)
{
    wxMessageDialog dialog(&frame, question, _("Confirmation"),
                           wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION | wxCENTRE);
    return dialog.ShowModal() == wxID_YES;
}

void DeviceCommands::OnWrite(wxCommandEvent& /*event*/)
{
    wxBusyCursor busy;
    editors.View().Validate();
    if (RefuseInvalidSettings())
        return;
    if (wiring.confirmWriting() &&
        !ConfirmWriting(_("Do you really want to write configuration into device?")))
        return;
    const std::optional<DeviceConfiguration> collected = editors.CollectOrReport();
    if (!collected)
        return;
    const DeviceConfiguration& config = *collected;
    if (RunUnderProgress(
            &frame, _("Writing"), _("Wait until the data is written into a device"),
            [&] { return connection->WriteConfiguration(config); }, _("Configuration writing failed"))) {
        editors.SetSource(UnitSource(*connection));
        editors.Session().KeptToUnit(config);
    }
}

void DeviceCommands::OnLock(wxCommandEvent& /*event*/)
{
    wxBusyCursor busy;
    if (connection->GetFeature(FEATURE_LOCK) <= 0) {
        ShowError(_("Locking is not supported"));
        return;
    }
    if (wiring.confirmWriting() && !ConfirmWriting(_("Do you really want to lock the configuration?")))
        return;
    RunUnderProgress(
        &frame, _("Locking"), _("Wait until the data is locked in the device"),
        [&] { return connection->SetLockState(LOCK_LOCKED); }, _("Locking configuration failed"));
}

void DeviceCommands::OnNew(wxCommandEvent& /*event*/)
{
    // A unit in its bootloader has no generation and so no defaults; the
    // command is disabled then, and refused here should it arrive anyway.
    if (connection->GetDeviceMode() != 0)
        return;
    wxBusyCursor busy;
    editors.Replace(connection->GetDefaultConfiguration(), _("New"), DefaultsSource(*connection));
}

void DeviceCommands::HandleDeviceError(int32_t status)
{
    if (wiring.poll.Errors().Account(status))
        GiveUpTheUnit();
}

void DeviceCommands::GiveUpTheUnit()
{
    UseSimulatedConnection();
    wiring.showLive(LiveValues{}, LiveRaw{});
    wiring.poll.Stop();
    wiring.refresh();
}

void DeviceCommands::SetFileDialogFolder(const wxString& folder)
{
    FileDialogFolder() = folder;
}

wxFileDialog* DeviceCommands::GetOpenDialog()
{
    if (!openDialog)
        openDialog = new wxFileDialog(&frame, _("Open"), FileDialogFolder(), wxEmptyString, "(*.vtn)|*.vtn",
                                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    return openDialog;
}

wxFileDialog* DeviceCommands::GetSaveDialog()
{
    if (!saveDialog)
        saveDialog = new wxFileDialog(&frame, _("Save"), FileDialogFolder(), wxEmptyString, "(*.vtn)|*.vtn",
                                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    return saveDialog;
}

void DeviceCommands::OnOpen(wxCommandEvent& /*event*/)
{
    wxFileDialog* dialog = GetOpenDialog();
    if (dialog->ShowModal() != wxID_OK || dialog->GetPath().empty())
        return;
    wxBusyCursor busy;
    DeviceConfiguration config;
    ClearConfiguration(config);
    // A file that is no settings file would load as nothing but fallbacks.
    // The parser's complaints go to the failure log, not to the user.
    std::string complaints;
    std::unique_ptr<wxFileConfig> store = OpenSettingsFileToLoad(dialog->GetPath(), &complaints);
    const bool loaded = store && connection->LoadSettings(*store, config) == 0;
    if (!loaded || !complaints.empty())
        RecordFailure("open settings file " + dialog->GetPath().utf8_string() +
                      (loaded ? ": " : " failed: ") +
                      (complaints.empty() ? std::string("its values could not be loaded") : complaints));
    if (loaded) {
        if (editors.Replace(config, _("Open"), FileSource(dialog->GetPath().utf8_string())))
            editors.Session().KeptFromFile(config, dialog->GetPath().utf8_string());
    } else {
        ShowError(_("Loading failed"), _("Error"));
    }
}

void DeviceCommands::OnSaveAs(wxCommandEvent& /*event*/)
{
    {
        wxBusyCursor busy;
        editors.View().Validate();
        if (RefuseInvalidSettings())
            return;
    }
    // An empty path would make the store fall back to a default file.
    wxFileDialog* dialog = GetSaveDialog();
    if (dialog->ShowModal() != wxID_OK || dialog->GetPath().empty())
        return;
    wxBusyCursor busy;
    const std::optional<DeviceConfiguration> collected = editors.CollectOrReport();
    if (!collected)
        return;
    const DeviceConfiguration& config = *collected;
    std::unique_ptr<wxFileConfig> store = OpenSettingsFile(dialog->GetPath());
    if (!store) {
        ShowError(_("Saving failed"), _("Error"));
        return;
    }
    WriteAppVersion(*store);
    const bool saved = connection->SaveSettings(*store, config) == 0;
    if (!saved)
        ShowError(_("Saving failed"), _("Error"));
    store.reset();  // writes the file
    if (saved) {
        editors.SetSource(FileSource(dialog->GetPath().utf8_string()));
        editors.Session().KeptToFile(config, dialog->GetPath().utf8_string());
    }
}

void DeviceCommands::OnUnsupportedDevice(wxCommandEvent& /*event*/)
{
    wxMessageDialog dialog(&frame,
                           _("This device is not supported by this application. Please run the \"Corvello\" "
                             "application dedicated for this product."),
                           _("Unsupported device"), wxOK | wxICON_ERROR | wxCENTRE);
    dialog.ShowModal();
}

void DeviceCommands::OnConnectingFailed(wxCommandEvent& event)
{
    wxMessageDialog dialog(&frame, _("Connecting to device failed, try it again, please."),
                           _("Connecting failed"), wxOK | wxICON_ERROR | wxCENTRE);
    if (event.GetInt() == USB_ERROR_ACCESS) {
        dialog.SetExtendedMessage(wxGetTranslation(kAccessDeniedHint));
    }
    dialog.ShowModal();
}
